// The list classes the module's units share: two preset sorted string lists and a list of
// interface references that can keep itself sorted and is reachable by automation.
#pragma once

#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/Classes.h"
#include "plugin/Opal.Types.h"

namespace tavix {

// Sorted, duplicates accepted, without regard to case.
class TSortedStringList : public TStringList {
 public:
  TSortedStringList() {
    SetDuplicates(dupAccept);
    SetSorted(true);
  }
};

// Sorted, without regard to case; adding a text already there keeps the first entry.
class TSortedUniqueStringList : public TStringList {
 public:
  TSortedUniqueStringList() {
    SetDuplicates(dupIgnore);
    SetSorted(true);
  }
};

// Orders two items: negative, zero or positive.
using TInterfaceCompare = std::function<int(IUnknown* a, IUnknown* b)>;
using TInterfaceTest = std::function<bool(IUnknown* item)>;
using TInterfaceAction = std::function<void(IUnknown* item)>;

// DISPIDs of the list's automation interface.
enum : DISPID {
  DISPID_InterfaceList_Get = 1857,
  DISPID_InterfaceList_GetCapacity = 1858,
  DISPID_InterfaceList_GetCount = 1859,
  DISPID_InterfaceList_Put = 1860,
  DISPID_InterfaceList_SetCapacity = 1861,
  DISPID_InterfaceList_SetCount = 1862,
  DISPID_InterfaceList_Clear = 1863,
  DISPID_InterfaceList_Delete = 1864,
  DISPID_InterfaceList_Exchange = 1865,
  DISPID_InterfaceList_First = 1866,
  DISPID_InterfaceList_IndexOf = 1867,
  DISPID_InterfaceList_Add = 1868,
  DISPID_InterfaceList_Insert = 1869,
  DISPID_InterfaceList_Last = 1870,
  DISPID_InterfaceList_Remove = 1871,
  DISPID_InterfaceList_Lock = 1872,
  DISPID_InterfaceList_Unlock = 1873,
};

// A list of interface references (each item holds one reference). Without a compare function
// it keeps insertion order; with one it stays sorted and `Duplicates` rules equal items.
// Reference counted: hold it through ComPtr (the last release destroys it).
// Every operation takes the list's lock, so Lock/Unlock can bracket several of them.
class TAdvancedInterfaceList : public TAbstractSupportService {
 public:
  // Unsorted (the arguments are kept for the callers' sake; the list grows as needed).
  explicit TAdvancedInterfaceList(int32_t ACapacity = 0, int32_t ADelta = 0);
  // Sorted by `ACompareFunction`, with room for `ACapacity` items.
  TAdvancedInterfaceList(TInterfaceCompare ACompareFunction, TDuplicates ADuplicates, int32_t ACapacity = 0,
                         int32_t ADelta = 0);
  static ComPtr<TAdvancedInterfaceList> Create(int32_t ACapacity = 0, int32_t ADelta = 0);
  static ComPtr<TAdvancedInterfaceList> CreateSorted(TInterfaceCompare ACompareFunction, TDuplicates ADuplicates,
                                                     int32_t ACapacity = 0, int32_t ADelta = 0);

  bool Sorted() const { return static_cast<bool>(FCompareFunction); }
  TDuplicates Duplicates() const { return FDuplicates; }
  const TInterfaceCompare& CompareFunction() const { return FCompareFunction; }

  int32_t Count() const;
  int32_t Capacity() const;
  void SetCapacity(int32_t capacity);  // EListError below Count
  void SetCount(int32_t count);        // new items are empty
  ComPtr<IUnknown> Get(int32_t index) const;
  ComPtr<IUnknown> operator[](int32_t index) const { return Get(index); }
  ComPtr<IUnknown> First() const;  // EListError when empty
  ComPtr<IUnknown> Last() const;

  // An empty item answers -1. Unsorted: appended. Sorted: a duplicate answers the index already
  // there (dupIgnore), raises EListError "Attempt to add duplicate value" (dupError) or is
  // inserted before the equal items (dupAccept).
  int32_t Add(IUnknown* item);
  // Put, Insert and Exchange place items by hand and are refused on a sorted list.
  void Put(int32_t index, IUnknown* item);
  void Insert(int32_t index, IUnknown* item);
  void Exchange(int32_t a, int32_t b);
  void Delete(int32_t index);
  int32_t Remove(IUnknown* item);  // index it had, or -1
  int32_t IndexOf(IUnknown* item) const;  // by reference identity
  void Clear();
  void DeleteAll() { Clear(); }

  // Binary search by the compare function: true on a hit; `index` is the hit (the first equal
  // item when duplicates are accepted) or the place the item belongs. False (index -1) when the
  // list has no compare function.
  bool Find(IUnknown* item, int32_t& index) const;

  ComPtr<IUnknown> FirstThat(const TInterfaceTest& test) const;
  ComPtr<IUnknown> LastThat(const TInterfaceTest& test) const;
  void ForEach(const TInterfaceAction& action) const;

  // Holds the list for this thread across several operations; Unlock without Lock raises.
  void Lock();
  void Unlock();

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;

 private:
  void CheckIndex(int32_t index, int32_t limit) const;
  void CheckUnsorted() const;

  TInterfaceCompare FCompareFunction;
  TDuplicates FDuplicates = dupIgnore;
  int32_t FCapacity = 0;
  std::vector<ComPtr<IUnknown>> FItems;
  mutable std::recursive_mutex FLock;
  std::thread::id FLockOwner;
  int32_t FLockDepth = 0;
};

}  // namespace tavix
