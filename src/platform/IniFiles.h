// INI files with the platform's semantics: sections and keys found without regard to case,
// values trimmed (and freed of one pair of enclosing quotes), the first of repeated keys
// answers, a missing key answers the caller's default. Read with libinih.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tavix {

class TIniFile {
 public:
  TIniFile() = default;
  // Reads the whole file now. A missing or unreadable file reads as an empty one (Loaded false).
  explicit TIniFile(const std::string& fileName);
  static TIniFile FromText(const std::string& text);

  const std::string& FileName() const { return FFileName; }
  bool Loaded() const { return FLoaded; }

  std::string ReadString(const std::string& section, const std::string& key, const std::string& defaultValue) const;
  // The value as a decimal number (optional sign); the default when it is missing or no number.
  int32_t ReadInteger(const std::string& section, const std::string& key, int32_t defaultValue) const;
  // "1"/"0", "true"/"false", "yes"/"no" (any case); the default for anything else.
  bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;

  bool SectionExists(const std::string& section) const;
  bool ValueExists(const std::string& section, const std::string& key) const;
  std::vector<std::string> ReadSections() const;                         // in file order
  std::vector<std::string> ReadSection(const std::string& section) const;  // its keys, in file order

 private:
  struct TSection {
    std::string Name;
    std::vector<std::pair<std::string, std::string>> Values;
  };
  void Parse(const std::string& text);
  TSection* FindSection(const std::string& name);
  const TSection* FindSection(const std::string& name) const;
  const std::string* FindValue(const std::string& section, const std::string& key) const;

  std::string FFileName;
  bool FLoaded = false;
  std::vector<TSection> FSections;
};

// Sets one key of an INI file, creating the file, the section or the key as needed and keeping
// every other line (comments included) as it was. The file is written beside itself and
// renamed over, so it is never left half-written. False when the value holds a line break or
// the file cannot be written.
bool WriteIniString(const std::string& fileName, const std::string& section, const std::string& key,
                    const std::string& value);

}  // namespace tavix
