// The sorted string lists and the sorted interface list with its automation interface.
#include <gtest/gtest.h>

#include "../support/FakeHost.h"
#include "../support/Invoke.h"
#include "host/Extension.Classes.h"

namespace tavix {
namespace {

using test::THostObject;

TEST(SortedStringListTest, KeepsEqualTextsAndPutsTheNewestFirst) {
  TSortedStringList list;
  for (const char* text : {"b", "A", "a", "B"}) list.Add(text);
  EXPECT_EQ(list.Strings(), (std::vector<std::string>{"a", "A", "B", "b"}));
  int32_t index = -1;
  EXPECT_TRUE(list.Find("A", index));
  EXPECT_EQ(index, 0);
}

TEST(SortedStringListTest, UniqueListKeepsTheFirstOfEqualTexts) {
  TSortedUniqueStringList list;
  EXPECT_EQ(list.Add("abc"), 0);
  EXPECT_EQ(list.Add("ABC"), 0);
  EXPECT_EQ(list.Add("Abd"), 1);
  EXPECT_EQ(list.Strings(), (std::vector<std::string>{"abc", "Abd"}));
}

// Items carry their sort key as the recording object's name.
ComPtr<THostObject> Item(int key) { return THostObject::Create(std::to_string(key)); }
IUnknown* Raw(const ComPtr<THostObject>& item) { return static_cast<IDispatch*>(item.Get()); }
int KeyOf(IUnknown* item) {
  return std::stoi(static_cast<THostObject*>(static_cast<IDispatch*>(item))->Name());
}
int CompareKeys(IUnknown* a, IUnknown* b) { return KeyOf(a) - KeyOf(b); }

struct TAddCase {
  const char* Name;
  TDuplicates Duplicates;
  std::vector<int> Existing;
  int Added;
  int32_t ExpectedIndex;  // -2: raises
  int32_t ExpectedCount;
  friend void PrintTo(const TAddCase& c, std::ostream* os) { *os << c.Name; }
};

class InterfaceListAddTest : public ::testing::TestWithParam<TAddCase> {};

TEST_P(InterfaceListAddTest, FindsThePlaceAndAppliesTheDuplicateRule) {
  const TAddCase& c = GetParam();
  auto list = TAdvancedInterfaceList::CreateSorted(CompareKeys, c.Duplicates);
  std::vector<ComPtr<THostObject>> items;
  for (int key : c.Existing) {
    items.push_back(Item(key));
    list->Add(Raw(items.back()));
  }
  const auto added = Item(c.Added);
  if (c.ExpectedIndex == -2) {
    try {
      list->Add(Raw(added));
      FAIL() << "a duplicate was accepted";
    } catch (const EListError& e) {
      EXPECT_STREQ(e.what(), "Attempt to add duplicate value");
    }
  } else {
    EXPECT_EQ(list->Add(Raw(added)), c.ExpectedIndex);
  }
  EXPECT_EQ(list->Count(), c.ExpectedCount);
  for (int32_t i = 1; i < list->Count(); ++i) EXPECT_LE(KeyOf(list->Get(i - 1).Get()), KeyOf(list->Get(i).Get()));
  if (c.ExpectedIndex >= 0 && c.ExpectedCount > static_cast<int32_t>(c.Existing.size())) {
    EXPECT_EQ(list->Get(c.ExpectedIndex).Get(), Raw(added));  // the new item, before equal ones
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InterfaceListAddTest,
    ::testing::Values(TAddCase{"IntoEmpty", dupAccept, {}, 4, 0, 1},
                    TAddCase{"AtTheFront", dupIgnore, {3, 5}, 1, 0, 3},
                    TAddCase{"AtTheEnd", dupIgnore, {3, 5}, 9, 2, 3},
                    TAddCase{"InBetween", dupError, {1, 3, 5}, 4, 2, 4},
                    TAddCase{"AcceptInsertsBeforeEquals", dupAccept, {1, 3, 3, 5}, 3, 1, 5},
                    TAddCase{"IgnoreAnswersTheExisting", dupIgnore, {1, 3, 5}, 3, 1, 3},
                    TAddCase{"ErrorRaises", dupError, {1, 3, 5}, 3, -2, 3}),
    [](const ::testing::TestParamInfo<TAddCase>& info) { return std::string(info.param.Name); });

TEST(InterfaceListTest, FindIsALowerBoundSearch) {
  std::vector<ComPtr<THostObject>> items;
  auto accepting = TAdvancedInterfaceList::CreateSorted(CompareKeys, dupAccept);
  auto ignoring = TAdvancedInterfaceList::CreateSorted(CompareKeys, dupIgnore);
  for (int key : {1, 3, 3, 3, 5}) {
    items.push_back(Item(key));
    accepting->Add(Raw(items.back()));
    ignoring->Add(Raw(items.back()));
  }
  struct {
    int Key;
    bool Found;
    int32_t AcceptIndex;
    int32_t IgnoreIndex;
  } const cases[] = {{0, false, 0, 0}, {1, true, 0, 0}, {3, true, 1, 1}, {4, false, 4, 2}, {6, false, 5, 3}};
  ASSERT_EQ(ignoring->Count(), 3);
  for (const auto& c : cases) {
    const auto probe = Item(c.Key);
    int32_t index = -9;
    EXPECT_EQ(accepting->Find(Raw(probe), index), c.Found) << c.Key;
    EXPECT_EQ(index, c.AcceptIndex) << c.Key;
    EXPECT_EQ(ignoring->Find(Raw(probe), index), c.Found) << c.Key;
    EXPECT_EQ(index, c.IgnoreIndex) << c.Key;
  }
}

TEST(InterfaceListTest, UnsortedListAppendsAndHasNoSearch) {
  auto list = TAdvancedInterfaceList::Create(10, 5);
  const auto a = Item(5);
  const auto b = Item(1);
  EXPECT_EQ(list->Add(Raw(a)), 0);
  EXPECT_EQ(list->Add(Raw(b)), 1);
  EXPECT_EQ(list->Add(Raw(a)), 2);
  EXPECT_EQ(list->Add(nullptr), -1);
  int32_t index = 0;
  EXPECT_FALSE(list->Find(Raw(b), index));
  EXPECT_EQ(list->IndexOf(Raw(b)), 1);
  EXPECT_EQ(list->FirstThat([](IUnknown* item) { return KeyOf(item) == 5; }).Get(), Raw(a));
  EXPECT_EQ(list->LastThat([](IUnknown* item) { return KeyOf(item) < 3; }).Get(), Raw(b));
  EXPECT_FALSE(list->FirstThat([](IUnknown* item) { return KeyOf(item) == 7; }));
  int sum = 0;
  list->ForEach([&](IUnknown* item) { sum += KeyOf(item); });
  EXPECT_EQ(sum, 11);
  list->Exchange(0, 1);
  EXPECT_EQ(list->First().Get(), Raw(b));
  EXPECT_EQ(list->Remove(Raw(b)), 0);
  list->DeleteAll();
  EXPECT_EQ(list->Count(), 0);
  EXPECT_THROW(list->First(), EListError);
}

TEST(InterfaceListTest, SortedListRefusesPlacingByHand) {
  auto list = TAdvancedInterfaceList::CreateSorted(CompareKeys, dupAccept, 8);
  const auto a = Item(1);
  list->Add(Raw(a));
  EXPECT_EQ(list->Capacity(), 8);
  EXPECT_THROW(list->Insert(0, Raw(a)), EListError);
  EXPECT_THROW(list->Put(0, Raw(a)), EListError);
  EXPECT_THROW(list->SetCapacity(0), EListError);
}

TEST(InterfaceListTest, ItemsKeepTheirReferenceWhileListed) {
  const auto item = Item(1);
  {
    auto list = TAdvancedInterfaceList::Create();
    list->Add(Raw(item));
    list->SetCount(3);  // two empty items follow
    EXPECT_FALSE(list->Get(2));
    EXPECT_EQ(item->RefCount(), 2);
  }
  EXPECT_EQ(item->RefCount(), 1);  // the list let go of its reference
}

// The code and result of one call made as a host makes it.
HRESULT Invoke(IDispatch* object, DISPID id, std::vector<Variant> args, Variant* result) {
  auto answer = tavix::testing::InvokeRaw(object, id, std::move(args));
  *result = std::move(answer.Value);
  return answer.Code;
}

TEST(InterfaceListTest, AnswersItsDispatchInterface) {
  auto list = TAdvancedInterfaceList::CreateSorted(CompareKeys, dupAccept);
  IDispatch* dispatch = list->AsDispatch();
  const auto one = Item(1);
  const auto two = Item(2);
  Variant result;
  ASSERT_EQ(Invoke(dispatch, 1868, {Variant::FromUnknown(Raw(two))}, &result), S_OK);
  EXPECT_EQ(result.AsInt(), 0);
  ASSERT_EQ(Invoke(dispatch, 1868, {Variant::FromDispatch(one.Get())}, &result), S_OK);
  EXPECT_EQ(result.AsInt(), 0);
  ASSERT_EQ(Invoke(dispatch, 1859, {}, &result), S_OK);
  EXPECT_EQ(result.AsInt(), 2);
  ASSERT_EQ(Invoke(dispatch, 1857, {Variant::FromInt(1)}, &result), S_OK);
  EXPECT_EQ(result.Type(), VT_UNKNOWN);
  EXPECT_EQ(result.AsUnknown().Get(), Raw(two));
  ASSERT_EQ(Invoke(dispatch, 1870, {}, &result), S_OK);
  EXPECT_EQ(result.AsUnknown().Get(), Raw(two));
  ASSERT_EQ(Invoke(dispatch, 1867, {Variant::FromUnknown(Raw(two))}, &result), S_OK);
  EXPECT_EQ(result.AsInt(), 1);
  ASSERT_EQ(Invoke(dispatch, 1872, {}, &result), S_OK);
  ASSERT_EQ(Invoke(dispatch, 1873, {}, &result), S_OK);
  EXPECT_EQ(Invoke(dispatch, 1873, {}, &result), E_UNEXPECTED);  // not locked any more
  EXPECT_EQ(Invoke(dispatch, 1857, {Variant::FromInt(5)}, &result), E_UNEXPECTED);
  EXPECT_EQ(Invoke(dispatch, 1869, {Variant::FromInt(0), Variant::FromUnknown(Raw(one))}, &result), E_UNEXPECTED);
  ASSERT_EQ(Invoke(dispatch, 1864, {Variant::FromInt(0)}, &result), S_OK);
  ASSERT_EQ(Invoke(dispatch, 1871, {Variant::FromUnknown(Raw(two))}, &result), S_OK);
  EXPECT_EQ(result.AsInt(), 0);
  ASSERT_EQ(Invoke(dispatch, 1858, {}, &result), S_OK);
  ASSERT_EQ(Invoke(dispatch, 1863, {}, &result), S_OK);
  EXPECT_EQ(list->Count(), 0);
  EXPECT_EQ(Invoke(dispatch, 1874, {}, &result), E_NOTIMPL);
  EXPECT_EQ(Invoke(dispatch, 1856, {}, &result), E_NOTIMPL);
}

}  // namespace
}  // namespace tavix
