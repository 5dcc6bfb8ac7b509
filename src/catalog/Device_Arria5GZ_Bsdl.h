// The built-in boundary-scan descriptions: finding a description by its BSDL file name and
// building the model entity of one from its tables.
#pragma once

#include <string>
#include <string_view>
#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "bsdl/Tavix.Classes.BSDL.h"
#include "catalog/Device_Arria5GZ_Bsdl.Tables.h"

namespace tavix {

// Model objects filed by a key (a pin number, a cell number's decimal text, an instruction or
// register name), found without regard to case. Files, does not own. An open-addressing table
// over the items in the order they were filed: no allocation per item, as entities are built
// from thousands of them.
template <class T>
class THashedObjectList {
 public:
  // The first object filed under the key, or null.
  T* Find(std::string_view key) const {
    if (FSlots.empty()) return nullptr;
    for (size_t slot = Hash(key) & (FSlots.size() - 1);; slot = (slot + 1) & (FSlots.size() - 1)) {
      const int32_t item = FSlots[slot];
      if (item < 0) return nullptr;
      if (SameText(FItems[static_cast<size_t>(item)].first, key)) return FItems[static_cast<size_t>(item)].second;
    }
  }
  void Add(std::string_view key, T* object) {
    if ((FItems.size() + 1) * 2 > FSlots.size()) Rehash(std::max<size_t>(16, FSlots.size() * 2));
    FItems.emplace_back(std::string(key), object);
    Place(FItems.size() - 1);
  }
  void Reserve(size_t count) {
    FItems.reserve(count);
    size_t slots = 16;
    while (slots < count * 2) slots *= 2;
    if (slots > FSlots.size()) Rehash(slots);
  }
  int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
  template <class F>
  void ForEach(F&& visit) const {
    for (const auto& item : FItems) visit(item.second);
  }
  void Clear() {
    FItems.clear();
    FSlots.clear();
  }

 private:
  // FNV-1a over the key with ASCII case folding.
  static size_t Hash(std::string_view key) {
    uint64_t hash = 14695981039346656037ull;
    for (char c : key) hash = (hash ^ static_cast<uint8_t>(c >= 'a' && c <= 'z' ? c - 32 : c)) * 1099511628211ull;
    return static_cast<size_t>(hash);
  }
  void Place(size_t item) {
    size_t slot = Hash(FItems[item].first) & (FSlots.size() - 1);
    while (FSlots[slot] >= 0) slot = (slot + 1) & (FSlots.size() - 1);
    FSlots[slot] = static_cast<int32_t>(item);
  }
  void Rehash(size_t slots) {
    FSlots.assign(slots, -1);
    for (size_t item = 0; item < FItems.size(); ++item) Place(item);
  }

  std::vector<std::pair<std::string, T*>> FItems;
  std::vector<int32_t> FSlots;  // item index, -1 for an empty slot; a power of two in size
};

// The look-up lists an entity is built with. They keep their contents after the build. The
// pin mappings of a built entity are listed by no entity list (they hang off the scan pins),
// so these lists own them and free them with themselves; everything else belongs to the entity.
class TBsdlLookupLists {
 public:
  TBsdlLookupLists() = default;
  TBsdlLookupLists(const TBsdlLookupLists&) = delete;
  TBsdlLookupLists& operator=(const TBsdlLookupLists&) = delete;
  ~TBsdlLookupLists();

  THashedObjectList<TScanPin> ScanPins;                      // by pin number
  THashedObjectList<TBoundaryCell> BoundaryCells;            // by cell number
  THashedObjectList<TPinMapping> PinMappings;                // by pin number
  THashedObjectList<TInstructionOpCode> OpCodes;             // by instruction name
  THashedObjectList<TRegisterAssociation> RegisterAssociations;  // by register name
};

// The index of the description of a BSDL file name (the last match, without regard to case),
// or 0 when none matches.
int32_t FindDescription(std::string_view name);

// Builds the entity of description `index` (0..15), filing its objects in `lists`. The entity
// has no parser: its positions read 9999, its instruction length, IDCODE and the instructions
// other than SAMPLE keep their initial values, and its PinMappings stay empty.
TBSDLEntityPtr BuildEntity(int32_t index, TBsdlLookupLists& lists);

}  // namespace tavix
