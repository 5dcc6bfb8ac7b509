// The platform's string list: an ordered list of texts that may be kept sorted, with a rule for
// duplicates, compared with or without regard to case, read from and saved to text files.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace tavix {

// What a sorted list does when an equal item is added.
enum TDuplicates { dupIgnore, dupAccept, dupError };

// A list operation on a wrong index, a refused duplicate, an operation a sorted list forbids.
class EListError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TStringList {
 public:
  TStringList() = default;
  TStringList(const TStringList&) = default;
  TStringList& operator=(const TStringList&) = default;
  virtual ~TStringList() = default;

  int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
  bool Empty() const { return FItems.empty(); }
  const std::string& operator[](int32_t index) const { return Get(index); }
  const std::string& Get(int32_t index) const;
  // Replaces an item; refused on a sorted list.
  void Put(int32_t index, const std::string& text);

  // Appends, or on a sorted list inserts at its place (before equal items). A duplicate on a
  // sorted list is added (dupAccept), skipped with the index of the one already there
  // (dupIgnore) or refused with EListError (dupError).
  int32_t Add(const std::string& text);
  void AddStrings(const std::vector<std::string>& texts);
  void AddStrings(const TStringList& other) { AddStrings(other.FItems); }
  // Refused on a sorted list.
  void Insert(int32_t index, const std::string& text);
  void Delete(int32_t index);
  void Exchange(int32_t a, int32_t b);
  void Clear() { FItems.clear(); }

  int32_t IndexOf(const std::string& text) const;  // -1 when absent
  // Binary search of a sorted list: true on a hit; `index` is the hit (the first equal item when
  // duplicates are accepted) or the place where the text belongs.
  bool Find(const std::string& text, int32_t& index) const;
  void Sort();

  bool Sorted() const { return FSorted; }
  void SetSorted(bool sorted);
  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates duplicates) { FDuplicates = duplicates; }
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool caseSensitive);

  // All items, each followed by a line break ("\n").
  std::string Text() const;
  // Replaces the items by the lines of the text ("\r\n", "\n" or "\r" end a line; a final line
  // break does not start another line).
  void SetText(const std::string& text);

  // Replaces the items by the lines of a file (a UTF-8 byte-order mark is dropped); raises
  // EFileError when the file cannot be read, and the list is then unchanged.
  void LoadFromFile(const std::string& path);
  // Writes Text to the file beside it and renames it over the file, so a failed save never
  // leaves a half-written file; raises EFileError on failure.
  void SaveToFile(const std::string& path) const;

  const std::vector<std::string>& Strings() const { return FItems; }
  std::vector<std::string>::const_iterator begin() const { return FItems.begin(); }
  std::vector<std::string>::const_iterator end() const { return FItems.end(); }

 protected:
  // Negative, zero or positive; with or without regard to case by CaseSensitive.
  virtual int CompareStrings(const std::string& a, const std::string& b) const;

 private:
  void CheckIndex(int32_t index, int32_t limit) const;

  std::vector<std::string> FItems;
  bool FSorted = false;
  TDuplicates FDuplicates = dupIgnore;
  bool FCaseSensitive = false;
};

}  // namespace tavix
