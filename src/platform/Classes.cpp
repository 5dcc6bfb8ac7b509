#include "platform/Classes.h"

#include <algorithm>

#include "platform/Files.h"
#include "platform/automation/AutoTypes.h"

namespace tavix {

void TStringList::CheckIndex(int32_t index, int32_t limit) const {
  if (index < 0 || index >= limit) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

const std::string& TStringList::Get(int32_t index) const {
  CheckIndex(index, Count());
  return FItems[static_cast<size_t>(index)];
}

void TStringList::Put(int32_t index, const std::string& text) {
  if (FSorted) throw EListError("Operation not allowed on sorted list");
  CheckIndex(index, Count());
  FItems[static_cast<size_t>(index)] = text;
}

int32_t TStringList::Add(const std::string& text) {
  if (!FSorted) {
    FItems.push_back(text);
    return Count() - 1;
  }
  int32_t index = 0;
  if (Find(text, index)) {
    if (FDuplicates == dupIgnore) return index;
    if (FDuplicates == dupError) throw EListError("String list does not allow duplicates");
  }
  FItems.insert(FItems.begin() + index, text);
  return index;
}

void TStringList::AddStrings(const std::vector<std::string>& texts) {
  for (const std::string& text : texts) Add(text);
}

void TStringList::Insert(int32_t index, const std::string& text) {
  if (FSorted) throw EListError("Operation not allowed on sorted list");
  CheckIndex(index, Count() + 1);
  FItems.insert(FItems.begin() + index, text);
}

void TStringList::Delete(int32_t index) {
  CheckIndex(index, Count());
  FItems.erase(FItems.begin() + index);
}

void TStringList::Exchange(int32_t a, int32_t b) {
  if (FSorted) throw EListError("Operation not allowed on sorted list");
  CheckIndex(a, Count());
  CheckIndex(b, Count());
  std::swap(FItems[static_cast<size_t>(a)], FItems[static_cast<size_t>(b)]);
}

int TStringList::CompareStrings(const std::string& a, const std::string& b) const {
  if (FCaseSensitive) return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
  return CompareText(a, b);
}

bool TStringList::Find(const std::string& text, int32_t& index) const {
  // Lower bound search; on a hit it stops at once unless duplicates are accepted, in which case
  // it goes on to the first equal item.
  bool found = false;
  int32_t low = 0;
  int32_t high = Count() - 1;
  while (low <= high) {
    const int32_t mid = low + (high - low) / 2;
    const int c = CompareStrings(FItems[static_cast<size_t>(mid)], text);
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

int32_t TStringList::IndexOf(const std::string& text) const {
  if (FSorted) {
    int32_t index = 0;
    return Find(text, index) ? index : -1;
  }
  for (int32_t i = 0; i < Count(); ++i)
    if (CompareStrings(FItems[static_cast<size_t>(i)], text) == 0) return i;
  return -1;
}

void TStringList::Sort() {
  std::stable_sort(FItems.begin(), FItems.end(),
                   [this](const std::string& a, const std::string& b) { return CompareStrings(a, b) < 0; });
}

void TStringList::SetSorted(bool sorted) {
  if (sorted && !FSorted) Sort();
  FSorted = sorted;
}

void TStringList::SetCaseSensitive(bool caseSensitive) {
  if (caseSensitive == FCaseSensitive) return;
  FCaseSensitive = caseSensitive;
  if (FSorted) Sort();
}

std::string TStringList::Text() const {
  std::string text;
  for (const std::string& item : FItems) {
    text += item;
    text += '\n';
  }
  return text;
}

void TStringList::SetText(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  FItems.clear();
  AddStrings(lines);
}

void TStringList::LoadFromFile(const std::string& path) {
  std::string text;
  if (!ReadFileText(path, text)) throw EFileError("Cannot open file \"" + path + "\"");
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
  SetText(text);
}

void TStringList::SaveToFile(const std::string& path) const {
  if (!WriteFileAtomically(path, Text())) throw EFileError("Cannot create file \"" + path + "\"");
}

}  // namespace tavix
