#include "platform/IniFiles.h"

#include <ini.h>

#include <algorithm>
#include <charconv>
#include <mutex>

#include "platform/Files.h"
#include "platform/automation/AutoTypes.h"

namespace tavix {

namespace {

// libinih keeps its options in process-wide variables. For one parse they are set to the
// platform's INI rules (no continuation lines, no inline comments) and to a heap line buffer
// long enough for the whole text, so no line is ever cut; then they are put back.
class TIniParseOptions {
 public:
  explicit TIniParseOptions(size_t textLength) : FLock(Mutex()) {
    FSaved = {ini_allow_multiline, ini_allow_inline_comments, ini_use_stack, ini_allow_realloc,
              ini_allow_no_value, ini_stop_on_first_error, ini_max_line, ini_initial_alloc};
    ini_allow_multiline = false;
    ini_allow_inline_comments = false;
    ini_use_stack = false;
    ini_allow_realloc = true;
    ini_allow_no_value = false;
    ini_stop_on_first_error = false;
    ini_initial_alloc = 256;
    const size_t longest = std::max<size_t>(textLength + 3, 256);
    ini_max_line = static_cast<int>(std::min<size_t>(longest, 0x7FFFFFFF));
  }
  ~TIniParseOptions() {
    ini_allow_multiline = FSaved.Multiline;
    ini_allow_inline_comments = FSaved.InlineComments;
    ini_use_stack = FSaved.UseStack;
    ini_allow_realloc = FSaved.Realloc;
    ini_allow_no_value = FSaved.NoValue;
    ini_stop_on_first_error = FSaved.StopOnError;
    ini_max_line = FSaved.MaxLine;
    ini_initial_alloc = FSaved.InitialAlloc;
  }
  TIniParseOptions(const TIniParseOptions&) = delete;
  TIniParseOptions& operator=(const TIniParseOptions&) = delete;

 private:
  static std::mutex& Mutex() {
    static std::mutex mutex;
    return mutex;
  }
  struct {
    bool Multiline, InlineComments, UseStack, Realloc, NoValue, StopOnError;
    int MaxLine, InitialAlloc;
  } FSaved;
  std::lock_guard<std::mutex> FLock;
};

// One pair of matching enclosing quotes is not part of the value.
std::string Unquote(std::string value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

}  // namespace

TIniFile::TIniFile(const std::string& fileName) : FFileName(fileName) {
  std::string text;
  if (!ReadFileText(fileName, text)) return;
  FLoaded = true;
  Parse(text);
}

TIniFile TIniFile::FromText(const std::string& text) {
  TIniFile ini;
  ini.FLoaded = true;
  ini.Parse(text);
  return ini;
}

void TIniFile::Parse(const std::string& text) {
  // Section headers longer than libinih's 49 characters are cut by it; no file of ours has one.
  const TIniParseOptions options(text.size());
  auto handler = [](void* user, const char* section, const char* name, const char* value) -> int {
    auto* self = static_cast<TIniFile*>(user);
    const std::string sectionName = Trim(section ? section : "");
    TSection* target = self->FindSection(sectionName);
    if (!target) {
      self->FSections.push_back({sectionName, {}});
      target = &self->FSections.back();
    }
    const std::string key = name ? name : "";
    const bool known = std::any_of(target->Values.begin(), target->Values.end(),
                                   [&](const auto& entry) { return SameText(entry.first, key); });
    if (!known) target->Values.emplace_back(key, Unquote(value ? value : ""));
    return 1;
  };
  // A malformed line is skipped; the rest of the file still counts, as on the platform.
  ini_parse_string(text.c_str(), handler, this);
}

TIniFile::TSection* TIniFile::FindSection(const std::string& name) {
  for (TSection& section : FSections)
    if (SameText(section.Name, name)) return &section;
  return nullptr;
}

const TIniFile::TSection* TIniFile::FindSection(const std::string& name) const {
  return const_cast<TIniFile*>(this)->FindSection(name);
}

const std::string* TIniFile::FindValue(const std::string& section, const std::string& key) const {
  const TSection* found = FindSection(Trim(section));
  if (!found) return nullptr;
  for (const auto& [name, value] : found->Values)
    if (SameText(name, key)) return &value;
  return nullptr;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
  const std::string* value = FindValue(section, key);
  return value ? *value : defaultValue;
}

int32_t TIniFile::ReadInteger(const std::string& section, const std::string& key, int32_t defaultValue) const {
  const std::string* value = FindValue(section, key);
  if (!value) return defaultValue;
  std::string_view digits(*value);
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  int32_t number = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (error != std::errc() || end != digits.data() + digits.size() || digits.empty()) return defaultValue;
  return number;
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool defaultValue) const {
  const std::string* value = FindValue(section, key);
  if (!value) return defaultValue;
  for (const char* yes : {"1", "true", "yes"})
    if (SameText(*value, yes)) return true;
  for (const char* no : {"0", "false", "no"})
    if (SameText(*value, no)) return false;
  return defaultValue;
}

bool TIniFile::SectionExists(const std::string& section) const { return FindSection(Trim(section)) != nullptr; }

bool TIniFile::ValueExists(const std::string& section, const std::string& key) const {
  return FindValue(section, key) != nullptr;
}

std::vector<std::string> TIniFile::ReadSections() const {
  std::vector<std::string> names;
  for (const TSection& section : FSections) names.push_back(section.Name);
  return names;
}

std::vector<std::string> TIniFile::ReadSection(const std::string& section) const {
  std::vector<std::string> keys;
  if (const TSection* found = FindSection(Trim(section)))
    for (const auto& entry : found->Values) keys.push_back(entry.first);
  return keys;
}

// ---- writer -----------------------------------------------------------------------------------

namespace {

// The section a header line opens, or false for a line that is no header.
bool HeaderName(const std::string& line, std::string& name) {
  const std::string text = Trim(line);
  if (text.size() < 2 || text.front() != '[') return false;
  const size_t close = text.find(']');
  if (close == std::string::npos) return false;
  name = Trim(std::string_view(text).substr(1, close - 1));
  return true;
}

// The key of a "key=value" line, or false for comments, blanks and other lines.
bool KeyName(const std::string& line, std::string& key) {
  const std::string text = Trim(line);
  if (text.empty() || text.front() == ';' || text.front() == '#') return false;
  const size_t equals = text.find('=');
  if (equals == std::string::npos) return false;
  key = Trim(std::string_view(text).substr(0, equals));
  return true;
}

}  // namespace

bool WriteIniString(const std::string& fileName, const std::string& section, const std::string& key,
                    const std::string& value) {
  if (key.empty() || Trim(section).empty() || section.find_first_of("\r\n]") != std::string::npos ||
      key.find_first_of("\r\n=") != std::string::npos || value.find_first_of("\r\n") != std::string::npos)
    return false;
  std::string text;
  if (FileExists(fileName) && !ReadFileText(fileName, text)) return false;
  const std::string lineBreak = text.find("\r\n") != std::string::npos ? "\r\n" : "\n";

  std::vector<std::string> lines;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }

  const std::string entry = key + "=" + value;
  const std::string wanted = Trim(section);
  bool inSection = false;
  bool sectionSeen = false;
  size_t insertAt = lines.size();
  bool done = false;
  for (size_t i = 0; i < lines.size() && !done; ++i) {
    std::string name;
    if (HeaderName(lines[i], name)) {
      if (inSection) break;  // the first section of that name ends here without the key
      inSection = SameText(name, wanted);
      if (inSection) {
        sectionSeen = true;
        insertAt = i + 1;
      }
      continue;
    }
    if (!inSection) continue;
    std::string existing;
    if (KeyName(lines[i], existing) && SameText(existing, key)) {
      lines[i] = existing + "=" + value;  // the key keeps the spelling it has in the file
      done = true;
    } else if (!Trim(lines[i]).empty()) {
      insertAt = i + 1;
    }
  }
  if (!done) {
    if (sectionSeen) {
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), entry);
    } else {
      if (!lines.empty() && !Trim(lines.back()).empty()) lines.emplace_back();
      lines.push_back("[" + wanted + "]");
      lines.push_back(entry);
    }
  }

  std::string out;
  for (const std::string& line : lines) out += line + lineBreak;
  return WriteFileAtomically(fileName, out);
}

}  // namespace tavix
