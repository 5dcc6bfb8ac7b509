#include "simhost/jtag/SimDeviceCatalog.h"

#include <array>
#include <stdexcept>
#include <string>

namespace tavix::jtagsim {

namespace {

struct TDie {
  uint32_t IdCode;
  int BoundaryLength;
  int32_t StatusCell;
  uint64_t ConfigBits;
};

// 5AGZME1, 5AGZME3, 5AGZME5, 5AGZME7.
constexpr std::array<TDie, 4> kDies = {{
    {0x029310DD, 2131, 1348, 137598720},
    {0x029710DD, 2131, 1348, 137598720},
    {0x029770DD, 2775, 1804, 213798720},
    {0x029F70DD, 2775, 1804, 213798720},
}};

// Ordering codes; kinds 8 * die .. 8 * die + 7 belong to one die.
constexpr std::array<std::string_view, kArriaVGZKindCount> kNames = {
    "5AGZME1E2H29C3N", "5AGZME1E2H29I3LN", "5AGZME1E3H29C4N", "5AGZME1E3H29I4N",
    "5AGZME1H2F35C3N", "5AGZME1H2F35I3LN", "5AGZME1H3F35C4N", "5AGZME1H3F35I4N",
    "5AGZME3E2H29C3N", "5AGZME3E2H29I3LN", "5AGZME3E3H29C4N", "5AGZME3E3H29I4N",
    "5AGZME3H2F35C3N", "5AGZME3H2F35I3LN", "5AGZME3H3F35C4N", "5AGZME3H3F35I4N",
    "5AGZME5H2F35C3N", "5AGZME5H2F35I3LN", "5AGZME5H3F35C4N", "5AGZME5H3F35I4N",
    "5AGZME5K2F40C3N", "5AGZME5K2F40I3LN", "5AGZME5K3F40C4N", "5AGZME5K3F40I4N",
    "5AGZME7H2F35C3N", "5AGZME7H2F35I3LN", "5AGZME7H3F35C4N", "5AGZME7H3F35I4N",
    "5AGZME7K2F40C3N", "5AGZME7K2F40I3LN", "5AGZME7K3F40C4N", "5AGZME7K3F40I4N",
};

// User I/O count and ball-grid width of a package: H29 780 balls, F35 1152, F40 1517.
struct TPackage {
  int IoCount;
  int GridWidth;
};
TPackage PackageOf(int kind) {
  const std::string_view name = kNames[static_cast<size_t>(kind)];
  const bool big = kind >= 16;
  if (name.substr(9, 3) == "H29") return {350, 28};
  if (name.substr(9, 3) == "F40") return {698, 39};
  return {big ? 550 : 430, 34};
}

// Ball rows as packages letter them: A..Y without I, O, Q, S, X, Z, then AA, AB, ...
std::string BallRow(int row) {
  static constexpr std::string_view kLetters = "ABCDEFGHJKLMNPRTUVWY";
  const int n = static_cast<int>(kLetters.size());
  std::string text;
  if (row >= n) text += kLetters[static_cast<size_t>(row / n - 1)];
  text += kLetters[static_cast<size_t>(row % n)];
  return text;
}

constexpr std::array<std::pair<std::string_view, uint32_t>, 16> kOpCodes = {{
    {"BYPASS", 0x3FF},
    {"EXTEST", 0x00F},
    {"SAMPLE", 0x005},
    {"PRELOAD", 0x005},
    {"IDCODE", 0x006},
    {"USERCODE", 0x007},
    {"CLAMP", 0x00A},
    {"HIGHZ", 0x00B},
    {"PRIVATE", 0x310},
    {"CONFIG_IO", 0x00D},
    {"EXTEST_PULSE", 0x08F},
    {"EXTEST_TRAIN", 0x04F},
    {"PROGRAM", kOpProgram},
    {"STARTUP", kOpStartup},
    {"CHECK_STATUS", kOpCheckStatus},
    {"ACTIVE_DISENGAGE", kOpActiveDisengage},
}};

void AddTriple(std::vector<TSimCell>& cells, const std::string& port) {
  const auto control = static_cast<int32_t>(cells.size() + 1);
  cells.push_back({TSimCellFunction::Input, port, -1, 0});
  cells.push_back({TSimCellFunction::Control, {}, -1, 0});
  cells.push_back({TSimCellFunction::Output3, port, control, 1});
}

}  // namespace

TSimDeviceDescription ArriaVGZDescription(int kind) {
  if (kind < 0 || kind >= kArriaVGZKindCount)
    throw std::out_of_range("no Arria V GZ device kind " + std::to_string(kind));
  const TDie& die = kDies[static_cast<size_t>(kind / 8)];
  const TPackage package = PackageOf(kind);

  TSimDeviceDescription d;
  d.Name = std::string(kNames[static_cast<size_t>(kind)]);
  d.IdCode = die.IdCode;
  d.InstructionLength = 10;
  d.InstructionCapture = 0x1;
  for (const auto& [name, code] : kOpCodes) d.OpCodes.push_back({std::string(name), code});
  d.BoundaryLength = die.BoundaryLength;
  d.StatusCell = die.StatusCell;

  auto& cells = d.Cells;
  cells.reserve(static_cast<size_t>(die.BoundaryLength));
  const TSimCell internal{TSimCellFunction::Internal, {}, -1, 0};
  cells.push_back(internal);
  cells.push_back(internal);
  int io = 0;
  int ball = 0;
  const auto length = static_cast<size_t>(die.BoundaryLength);
  const auto status = static_cast<size_t>(die.StatusCell);
  while (cells.size() + 3 <= length) {
    if (cells.size() == status) {
      AddTriple(cells, "CONF_DONE");
    } else if (cells.size() + 3 > status && cells.size() < status) {
      cells.push_back(internal);  // pad up to the status triple
    } else if (io < package.IoCount) {
      const int row = ball / package.GridWidth, column = ball % package.GridWidth + 1;
      AddTriple(cells, "IO" + BallRow(row) + std::to_string(column));
      ++io;
      ++ball;
    } else {
      cells.push_back(internal);
    }
  }
  while (cells.size() < length) cells.push_back(internal);
  return d;
}

std::optional<int> FindArriaVGZKind(std::string_view fullName) {
  for (int k = 0; k < kArriaVGZKindCount; ++k) {
    const std::string_view name = kNames[static_cast<size_t>(k)];
    if (name.size() != fullName.size()) continue;
    bool same = true;
    for (size_t i = 0; i < name.size() && same; ++i) {
      char c = fullName[i];
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      same = c == name[i];
    }
    if (same) return k;
  }
  return std::nullopt;
}

std::vector<TSimDeviceDescription> ArriaVGZChain(std::string_view names) {
  std::vector<TSimDeviceDescription> chain;
  size_t start = 0;
  while (start <= names.size()) {
    size_t end = names.find(',', start);
    if (end == std::string_view::npos) end = names.size();
    std::string_view entry = names.substr(start, end - start);
    while (!entry.empty() && entry.front() == ' ') entry.remove_prefix(1);
    while (!entry.empty() && entry.back() == ' ') entry.remove_suffix(1);
    std::optional<int> kind = FindArriaVGZKind(entry);
    if (!kind && !entry.empty() && entry.size() <= 2 &&
        entry.find_first_not_of("0123456789") == std::string_view::npos) {
      const int number = std::stoi(std::string(entry));
      if (number < kArriaVGZKindCount) kind = number;
    }
    if (!kind)
      throw std::invalid_argument("\"" + std::string(entry) + "\" is no Arria V GZ device (an ordering code such as " +
                                  std::string(kNames[0]) + " or a kind 0 to " +
                                  std::to_string(kArriaVGZKindCount - 1) + ")");
    chain.push_back(ArriaVGZDescription(*kind));
    start = end + 1;
  }
  return chain;
}

std::optional<int32_t> ArriaVGZStatusCell(uint32_t idCode) {
  for (const TDie& die : kDies)
    if ((die.IdCode & 0x0FFFFFFFu) == (idCode & 0x0FFFFFFFu)) return die.StatusCell;
  return std::nullopt;
}

uint64_t ArriaVGZConfigBits(int kind) {
  if (kind < 0 || kind >= kArriaVGZKindCount)
    throw std::out_of_range("no Arria V GZ device kind " + std::to_string(kind));
  return kDies[static_cast<size_t>(kind / 8)].ConfigBits;
}

}  // namespace tavix::jtagsim
