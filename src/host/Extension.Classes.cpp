#include "host/Extension.Classes.h"

#include <algorithm>

namespace tavix {

using TGuard = std::lock_guard<std::recursive_mutex>;

TAdvancedInterfaceList::TAdvancedInterfaceList(int32_t, int32_t) {}

TAdvancedInterfaceList::TAdvancedInterfaceList(TInterfaceCompare ACompareFunction, TDuplicates ADuplicates,
                                               int32_t ACapacity, int32_t)
    : FCompareFunction(std::move(ACompareFunction)), FDuplicates(ADuplicates) {
  SetCapacity(std::max<int32_t>(ACapacity, 0));
}

ComPtr<TAdvancedInterfaceList> TAdvancedInterfaceList::Create(int32_t ACapacity, int32_t ADelta) {
  return ComPtr<TAdvancedInterfaceList>(new TAdvancedInterfaceList(ACapacity, ADelta));
}

ComPtr<TAdvancedInterfaceList> TAdvancedInterfaceList::CreateSorted(TInterfaceCompare ACompareFunction,
                                                                    TDuplicates ADuplicates, int32_t ACapacity,
                                                                    int32_t ADelta) {
  return ComPtr<TAdvancedInterfaceList>(
      new TAdvancedInterfaceList(std::move(ACompareFunction), ADuplicates, ACapacity, ADelta));
}

void TAdvancedInterfaceList::CheckIndex(int32_t index, int32_t limit) const {
  if (index < 0 || index >= limit) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

void TAdvancedInterfaceList::CheckUnsorted() const {
  // Placing an item by hand would break the order Find relies on.
  if (Sorted()) throw EListError("Operation not allowed on sorted list");
}

int32_t TAdvancedInterfaceList::Count() const {
  TGuard guard(FLock);
  return static_cast<int32_t>(FItems.size());
}

int32_t TAdvancedInterfaceList::Capacity() const {
  TGuard guard(FLock);
  return std::max(FCapacity, static_cast<int32_t>(FItems.size()));
}

void TAdvancedInterfaceList::SetCapacity(int32_t capacity) {
  TGuard guard(FLock);
  if (capacity < static_cast<int32_t>(FItems.size()))
    throw EListError("List capacity out of bounds (" + std::to_string(capacity) + ")");
  FItems.reserve(static_cast<size_t>(capacity));
  FCapacity = capacity;
}

void TAdvancedInterfaceList::SetCount(int32_t count) {
  TGuard guard(FLock);
  if (count < 0) throw EListError("List count out of bounds (" + std::to_string(count) + ")");
  FItems.resize(static_cast<size_t>(count));
}

ComPtr<IUnknown> TAdvancedInterfaceList::Get(int32_t index) const {
  TGuard guard(FLock);
  CheckIndex(index, static_cast<int32_t>(FItems.size()));
  return FItems[static_cast<size_t>(index)];
}

ComPtr<IUnknown> TAdvancedInterfaceList::First() const { return Get(0); }

ComPtr<IUnknown> TAdvancedInterfaceList::Last() const {
  TGuard guard(FLock);
  return Get(static_cast<int32_t>(FItems.size()) - 1);
}

bool TAdvancedInterfaceList::Find(IUnknown* item, int32_t& index) const {
  TGuard guard(FLock);
  index = -1;
  if (!FCompareFunction) return false;
  bool found = false;
  int32_t low = 0;
  int32_t high = static_cast<int32_t>(FItems.size()) - 1;
  while (low <= high) {
    const int32_t mid = low + (high - low) / 2;
    const int c = FCompareFunction(FItems[static_cast<size_t>(mid)].Get(), item);
    if (c < 0) {
      low = mid + 1;
    } else {
      high = mid - 1;
      if (c == 0) {
        found = true;
        if (FDuplicates != dupAccept) low = mid;
      }
    }
  }
  index = low;
  return found;
}

int32_t TAdvancedInterfaceList::Add(IUnknown* item) {
  if (!item) return -1;
  TGuard guard(FLock);
  if (!Sorted()) {
    FItems.emplace_back(item);
    return static_cast<int32_t>(FItems.size()) - 1;
  }
  int32_t index = 0;
  if (Find(item, index)) {
    if (FDuplicates == dupIgnore) return index;
    if (FDuplicates == dupError) throw EListError("Attempt to add duplicate value");
  }
  FItems.insert(FItems.begin() + index, ComPtr<IUnknown>(item));
  return index;
}

void TAdvancedInterfaceList::Put(int32_t index, IUnknown* item) {
  TGuard guard(FLock);
  CheckUnsorted();
  CheckIndex(index, static_cast<int32_t>(FItems.size()));
  FItems[static_cast<size_t>(index)] = ComPtr<IUnknown>(item);
}

void TAdvancedInterfaceList::Insert(int32_t index, IUnknown* item) {
  TGuard guard(FLock);
  CheckUnsorted();
  CheckIndex(index, static_cast<int32_t>(FItems.size()) + 1);
  FItems.insert(FItems.begin() + index, ComPtr<IUnknown>(item));
}

void TAdvancedInterfaceList::Exchange(int32_t a, int32_t b) {
  TGuard guard(FLock);
  CheckUnsorted();
  CheckIndex(a, static_cast<int32_t>(FItems.size()));
  CheckIndex(b, static_cast<int32_t>(FItems.size()));
  std::swap(FItems[static_cast<size_t>(a)], FItems[static_cast<size_t>(b)]);
}

void TAdvancedInterfaceList::Delete(int32_t index) {
  ComPtr<IUnknown> released;  // released after the lock, in case its owner calls back
  {
    TGuard guard(FLock);
    CheckIndex(index, static_cast<int32_t>(FItems.size()));
    released = std::move(FItems[static_cast<size_t>(index)]);
    FItems.erase(FItems.begin() + index);
  }
}

int32_t TAdvancedInterfaceList::IndexOf(IUnknown* item) const {
  TGuard guard(FLock);
  for (size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i].Get() == item) return static_cast<int32_t>(i);
  return -1;
}

int32_t TAdvancedInterfaceList::Remove(IUnknown* item) {
  TGuard guard(FLock);
  const int32_t index = IndexOf(item);
  if (index >= 0) Delete(index);
  return index;
}

void TAdvancedInterfaceList::Clear() {
  std::vector<ComPtr<IUnknown>> released;
  {
    TGuard guard(FLock);
    released.swap(FItems);
    FCapacity = 0;
  }
}

ComPtr<IUnknown> TAdvancedInterfaceList::FirstThat(const TInterfaceTest& test) const {
  TGuard guard(FLock);
  for (const auto& item : FItems)
    if (test(item.Get())) return item;
  return nullptr;
}

ComPtr<IUnknown> TAdvancedInterfaceList::LastThat(const TInterfaceTest& test) const {
  TGuard guard(FLock);
  for (auto it = FItems.rbegin(); it != FItems.rend(); ++it)
    if (test(it->Get())) return *it;
  return nullptr;
}

void TAdvancedInterfaceList::ForEach(const TInterfaceAction& action) const {
  TGuard guard(FLock);
  for (const auto& item : FItems) action(item.Get());
}

void TAdvancedInterfaceList::Lock() {
  FLock.lock();
  FLockOwner = std::this_thread::get_id();
  ++FLockDepth;
}

void TAdvancedInterfaceList::Unlock() {
  {
    TGuard guard(FLock);  // the owner gets it at once; anyone else waits and then sees no hold
    if (FLockDepth == 0 || FLockOwner != std::this_thread::get_id())
      throw EListError("List is not locked by this thread");
    if (--FLockDepth == 0) FLockOwner = std::thread::id();
  }
  FLock.unlock();
}

bool TAdvancedInterfaceList::DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) {
  switch (id) {
    case DISPID_InterfaceList_Get: {
      const int32_t index = args.Int(0);
      SetResultUnknown(result, RunOperation([&] { return Get(index); }).Get());
      return true;
    }
    case DISPID_InterfaceList_GetCapacity:
      SetResultInt(result, RunOperation([&] { return Capacity(); }));
      return true;
    case DISPID_InterfaceList_GetCount:
      SetResultInt(result, RunOperation([&] { return Count(); }));
      return true;
    case DISPID_InterfaceList_Put: {
      const int32_t index = args.Int(0);
      const ComPtr<IUnknown> item = args.Unknown(1);
      RunOperation([&] { Put(index, item.Get()); });
      return true;
    }
    case DISPID_InterfaceList_SetCapacity: {
      const int32_t capacity = args.Int(0);
      RunOperation([&] { SetCapacity(capacity); });
      return true;
    }
    case DISPID_InterfaceList_SetCount: {
      const int32_t count = args.Int(0);
      RunOperation([&] { SetCount(count); });
      return true;
    }
    case DISPID_InterfaceList_Clear:
      RunOperation([&] { Clear(); });
      return true;
    case DISPID_InterfaceList_Delete: {
      const int32_t index = args.Int(0);
      RunOperation([&] { Delete(index); });
      return true;
    }
    case DISPID_InterfaceList_Exchange: {
      const int32_t a = args.Int(0);
      const int32_t b = args.Int(1);
      RunOperation([&] { Exchange(a, b); });
      return true;
    }
    case DISPID_InterfaceList_First:
      SetResultUnknown(result, RunOperation([&] { return First(); }).Get());
      return true;
    case DISPID_InterfaceList_IndexOf: {
      const ComPtr<IUnknown> item = args.Unknown(0);
      SetResultInt(result, RunOperation([&] { return IndexOf(item.Get()); }));
      return true;
    }
    case DISPID_InterfaceList_Add: {
      const ComPtr<IUnknown> item = args.Unknown(0);
      SetResultInt(result, RunOperation([&] { return Add(item.Get()); }));
      return true;
    }
    case DISPID_InterfaceList_Insert: {
      const int32_t index = args.Int(0);
      const ComPtr<IUnknown> item = args.Unknown(1);
      RunOperation([&] { Insert(index, item.Get()); });
      return true;
    }
    case DISPID_InterfaceList_Last:
      SetResultUnknown(result, RunOperation([&] { return Last(); }).Get());
      return true;
    case DISPID_InterfaceList_Remove: {
      const ComPtr<IUnknown> item = args.Unknown(0);
      SetResultInt(result, RunOperation([&] { return Remove(item.Get()); }));
      return true;
    }
    case DISPID_InterfaceList_Lock:
      RunOperation([&] { Lock(); });
      return true;
    case DISPID_InterfaceList_Unlock:
      RunOperation([&] { Unlock(); });
      return true;
    default:
      // The supports-service query as everywhere; anything else is not implemented.
      return TAbstractSupportService::DoInvoke(id, args, result);
  }
}

}  // namespace tavix
