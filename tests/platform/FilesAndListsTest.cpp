// Files, folders and the platform string list.
#include <gtest/gtest.h>

#include "../support/TempFolder.h"
#include "platform/Classes.h"
#include "platform/Files.h"

namespace tavix {
namespace {

using test::ReadAll;
using test::TTempFolder;

TEST(MoveFileReplacingTest, ReplacesTheTargetInOneStep) {
  const TTempFolder folder;
  const std::string source = folder.Write("new.txt", "new");
  const std::string target = folder.Write("doc.txt", "old");
  ASSERT_TRUE(MoveFileReplacing(source, target));
  EXPECT_EQ(ReadAll(target), "new");
  EXPECT_FALSE(FileExists(source));
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"doc.txt"});
}

TEST(MoveFileReplacingTest, FailureKeepsBothFilesAsTheyWere) {
  const TTempFolder folder;
  const std::string target = folder.Write("doc.txt", "old");
  EXPECT_FALSE(MoveFileReplacing(folder / "absent.txt", target));
  EXPECT_EQ(ReadAll(target), "old");

  const std::string source = folder.Write("new.txt", "new");
  EXPECT_FALSE(MoveFileReplacing(source, folder / "no/such/folder/doc.txt"));
  EXPECT_EQ(ReadAll(source), "new");
}

TEST(CreateUniqueFileTest, EachCallMakesANewEmptyFile) {
  const TTempFolder folder;
  const std::string a = CreateUniqueFile(folder.Path(), "Pro", ".tmp");
  const std::string b = CreateUniqueFile(folder.Path(), "Pro", ".tmp");
  ASSERT_FALSE(a.empty());
  EXPECT_NE(a, b);
  EXPECT_EQ(ExtractFilePath(a), folder.Path());
  EXPECT_EQ(ExtractFileName(a).rfind("Pro", 0), 0u);
  EXPECT_EQ(ExtractFileExt(a), ".tmp");
  EXPECT_EQ(FileSize(a), 0);
  EXPECT_TRUE(CreateUniqueFile(folder / "absent", "Pro", ".tmp").empty());
}

TEST(ExpandFileNameTest, ResolvesDotsAndKeepsAFolderSeparator) {
  const TTempFolder folder;
  folder.Folder("a/b");
  EXPECT_EQ(ExpandFileName(folder / "a/b/../b/./x.txt"), ExpandFileName(folder.Path()) + "a/b/x.txt");
  EXPECT_EQ(ExpandFileName(folder / "a/"), ExpandFileName(folder.Path()) + "a/");
}

TEST(StringListTest, TextSplitsOnEveryLineEnd) {
  TStringList list;
  list.SetText("a\r\nb\nc\rd\n");
  EXPECT_EQ(list.Strings(), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(list.Text(), "a\nb\nc\nd\n");
  list.SetText("\n");
  EXPECT_EQ(list.Strings(), std::vector<std::string>{""});
  list.SetText("");
  EXPECT_EQ(list.Count(), 0);
}

TEST(StringListTest, SortedListRefusesPlacingByHand) {
  TStringList list;
  list.SetSorted(true);
  list.Add("b");
  list.Add("A");
  EXPECT_EQ(list.Strings(), (std::vector<std::string>{"A", "b"}));
  EXPECT_THROW(list.Insert(0, "z"), EListError);
  EXPECT_THROW(list.Put(0, "z"), EListError);
  EXPECT_THROW(list.Get(2), EListError);
  EXPECT_EQ(list.IndexOf("a"), 0);
  list.SetDuplicates(dupError);
  EXPECT_THROW(list.Add("B"), EListError);
}

TEST(StringListTest, SaveAndLoadRoundTrip) {
  const TTempFolder folder;
  TStringList list;
  list.AddStrings(std::vector<std::string>{"set_global_assignment -name FAMILY \"Arria V GZ\"", "", "end"});
  list.SaveToFile(folder / "script.tcl");
  TStringList back;
  back.LoadFromFile(folder / "script.tcl");
  EXPECT_EQ(back.Strings(), list.Strings());

  folder.Write("bom.txt", "\xEF\xBB\xBF" "first\r\nsecond");
  back.LoadFromFile(folder / "bom.txt");
  EXPECT_EQ(back.Strings(), (std::vector<std::string>{"first", "second"}));
}

TEST(StringListTest, FailedFileOperationsRaiseAndChangeNothing) {
  const TTempFolder folder;
  TStringList list;
  list.Add("kept");
  EXPECT_THROW(list.LoadFromFile(folder / "absent.txt"), EFileError);
  EXPECT_EQ(list.Strings(), std::vector<std::string>{"kept"});
  EXPECT_THROW(list.SaveToFile(folder / "absent/out.txt"), EFileError);
  EXPECT_TRUE(folder.Names().empty());
}

}  // namespace
}  // namespace tavix
