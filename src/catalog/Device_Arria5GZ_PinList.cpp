#include "catalog/Device_Arria5GZ_PinList.h"

#include <array>
#include <fstream>
#include <sstream>
#include <unordered_map>

namespace tavix {

namespace {

// The reader is compiled into the build-time tool as well, so it keeps to the standard library.
char Fold(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool Same(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Fold(a[i]) != Fold(b[i])) return false;
  return true;
}

std::string_view TrimView(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

std::vector<std::string_view> Split(std::string_view s, char separator) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (;;) {
    const size_t at = s.find(separator, start);
    parts.push_back(s.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
    if (at == std::string_view::npos) break;
    start = at + 1;
  }
  return parts;
}

// "-" and nothing both mean an empty field.
std::string_view Field(std::string_view raw) {
  raw = TrimView(raw);
  return raw == "-" ? std::string_view() : raw;
}

// One or two row letters, then a column number from 1.
bool IsBallName(std::string_view ball) {
  size_t letters = 0;
  while (letters < ball.size() && ((ball[letters] >= 'A' && ball[letters] <= 'Z') ||
                                   (ball[letters] >= 'a' && ball[letters] <= 'z')))
    ++letters;
  const size_t digits = ball.size() - letters;
  if (letters < 1 || letters > 2 || digits < 1 || digits > 2 || ball[letters] == '0') return false;
  for (size_t i = letters; i < ball.size(); ++i)
    if (ball[i] < '0' || ball[i] > '9') return false;
  return true;
}

enum TColumn { cBall, cBank, cDiffId, cClkDiffId, cFlags, cStandards, cFunction, cColumnCount };
constexpr std::array<const char*, cColumnCount> kColumnNames = {"Ball",  "Bank",      "DiffId",  "ClkDiffId",
                                                                "Flags", "Standards", "Function"};

}  // namespace

EPinListError::EPinListError(const std::string& file, int line, const std::string& message)
    : std::runtime_error(file + ":" + std::to_string(line) + ": " + message),
      FFile(file),
      FLine(line),
      FMessage(message) {}

int32_t TPinList::CountOf(TPinOption option) const {
  int32_t count = 0;
  for (const TPinListRow& row : Rows)
    if (row.Options & PinOptionBit(option)) ++count;
  return count;
}

int FindPinOption(std::string_view name) {
  for (int i = 0; i < kPinOptionCount; ++i)
    if (Same(name, kPinOptionNames[i])) return i;
  return -1;
}

bool ParseStandards(std::string_view text, TDeviceIOStandardSet& standards, std::string& unknown) {
  standards = 0;
  text = Field(text);
  if (text.empty() || Same(text, "none")) return true;
  for (std::string_view item : Split(text, '+')) {
    item = TrimView(item);
    if (Same(item, "general")) {
      standards |= kGeneralStandards;
    } else if (Same(item, "refclk")) {
      standards |= kRefClockStandards;
    } else {
      bool found = false;
      for (int id = 0; id < kDeviceIOStandardCount && !found; ++id)
        if (Same(item, kDeviceIOStandardTable[id].ParamName)) {
          standards |= StandardBit(static_cast<TDeviceIOStandardID>(id));
          found = true;
        }
      if (!found) {
        unknown = std::string(item);
        return false;
      }
    }
  }
  return true;
}

TPinFunctionKind ClassifyPinFunction(std::string_view function) {
  function = TrimView(function);
  if (Same(function, "IO")) return ePinFunction_IO;
  if (Same(function, "GND")) return ePinFunction_Ground;
  if (function.size() >= 3 && Same(function.substr(0, 3), "VCC")) return ePinFunction_Power;
  if (Same(function, "TDI")) return ePinFunction_TDI;
  if (Same(function, "TDO")) return ePinFunction_TDO;
  if (Same(function, "TMS")) return ePinFunction_TMS;
  if (Same(function, "TCK")) return ePinFunction_TCK;
  if (Same(function, "TRST")) return ePinFunction_TRST;
  return ePinFunction_Other;
}

TPinList ParsePinList(std::string_view text, const std::string& file) {
  TPinList list;
  list.File = file;
  std::array<int, cColumnCount> column;
  column.fill(-1);
  size_t headerFields = 0;
  bool haveHeader = false;
  std::unordered_map<std::string, int> ballLines;  // upper-cased ball -> line of its row

  int line = 0;
  size_t start = 0;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") start = 3;  // a byte-order mark some editors write
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view raw = text.substr(start, end - start);
    start = end + 1;
    ++line;
    const std::string_view content = TrimView(raw);
    if (content.empty() || content.front() == '#') continue;
    const auto fail = [&](const std::string& message) { throw EPinListError(file, line, message); };

    std::vector<std::string_view> fields = Split(raw, '\t');
    if (!fields.empty()) fields.back() = TrimView(fields.back());  // a CR of CRLF files
    if (!haveHeader) {
      for (size_t i = 0; i < fields.size(); ++i)
        for (int c = 0; c < cColumnCount; ++c)
          if (Same(TrimView(fields[i]), kColumnNames[c])) {
            if (column[c] >= 0) fail("column \"" + std::string(kColumnNames[c]) + "\" named twice");
            column[c] = static_cast<int>(i);
          }
      for (int c = 0; c < cColumnCount; ++c)
        if (column[c] < 0) fail("column \"" + std::string(kColumnNames[c]) + "\" missing from the column names");
      headerFields = fields.size();
      haveHeader = true;
      continue;
    }

    if (fields.size() != headerFields)
      fail(std::to_string(fields.size()) + " fields where the column names give " + std::to_string(headerFields));
    if (list.Rows.size() == static_cast<size_t>(kMaxPinCount))
      fail("more than " + std::to_string(kMaxPinCount) + " pins");

    TPinListRow row;
    row.Line = line;
    row.Ball = std::string(Field(fields[column[cBall]]));
    if (!IsBallName(row.Ball)) fail("\"" + row.Ball + "\" is not a ball name");
    std::string key;
    for (char c : row.Ball) key.push_back(Fold(c));
    if (const auto [it, added] = ballLines.emplace(key, line); !added)
      fail("ball " + row.Ball + " listed again (first on line " + std::to_string(it->second) + ")");
    row.Bank = std::string(Field(fields[column[cBank]]));
    row.DiffId = std::string(Field(fields[column[cDiffId]]));
    row.ClkDiffId = std::string(Field(fields[column[cClkDiffId]]));
    row.Function = std::string(Field(fields[column[cFunction]]));
    if (row.Function.empty()) fail("ball " + row.Ball + " has no function");

    const std::string_view flags = Field(fields[column[cFlags]]);
    if (!flags.empty())
      for (std::string_view name : Split(flags, ',')) {
        const int option = FindPinOption(TrimView(name));
        if (option < 0) fail("unknown flag \"" + std::string(TrimView(name)) + "\"");
        row.Options |= PinOptionBit(static_cast<TPinOption>(option));
      }
    std::string unknown;
    if (!ParseStandards(fields[column[cStandards]], row.Standards, unknown))
      fail("unknown I/O standard or set \"" + unknown + "\"");
    list.Rows.push_back(std::move(row));
  }
  if (!haveHeader) throw EPinListError(file, line, "no column names and no pins");
  if (list.Rows.empty()) throw EPinListError(file, line, "no pins");
  return list;
}

TPinList ReadPinList(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EPinListError(path, 0, "cannot open the pin list");
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw EPinListError(path, 0, "cannot read the pin list");
  return ParsePinList(text.str(), path);
}

}  // namespace tavix
