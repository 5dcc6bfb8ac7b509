#include "simhost/jtag/SimBsdlDescription.h"

#include <algorithm>
#include <stdexcept>

#include "platform/automation/Dispatch.h"
#include "simhost/jtag/SimDeviceCatalog.h"

namespace tavix::jtagsim {

namespace {

enum : DISPID {
  kName = 503458,
  kInstructionLength = 503459,
  kIdCode = 503460,
  kBoundaryLength = 503461,
  kBoundaryCell = 503464,
  kOpCode = 503465,
  kBoundaryCellCount = 503469,
  kOpCodeCount = 503470,
  kCellNumber = 503501,
  kCellPortId = 503503,
  kCellFunction = 503504,
  kCellControlNumber = 503506,
  kCellDisableValue = 503507,
  kOpCodeName = 503513,
  kOpCodePattern = 503514,
};

// The model's cell functions: Undefined, Input, Clock, Output2, Output3, Control, ControlR,
// Internal, BiDir, ObserveOnly.
TSimCellFunction CellFunction(int32_t value) {
  switch (value) {
    case 1:
    case 2:
      return TSimCellFunction::Input;
    case 3:
      return TSimCellFunction::Output2;
    case 4:
      return TSimCellFunction::Output3;
    case 5:
    case 6:
      return TSimCellFunction::Control;
    case 8:
      return TSimCellFunction::Bidir;
    case 9:
      return TSimCellFunction::ObserveOnly;
    default:
      return TSimCellFunction::Internal;
  }
}

struct TPattern {
  uint32_t Code = 0;
  int Width = 0;
};

// One or more binary patterns separated by commas or spaces (a BSDL opcode may list several).
std::vector<TPattern> ParsePatterns(const std::string& name, const std::string& text) {
  std::vector<TPattern> patterns;
  TPattern current;
  auto finish = [&] {
    if (current.Width > 0) patterns.push_back(current);
    current = {};
  };
  for (char c : text) {
    if (c == ',' || c == ' ' || c == '\t') {
      finish();
      continue;
    }
    if (c != '0' && c != '1' && c != 'x' && c != 'X')
      throw std::invalid_argument("opcode " + name + " has a pattern that is not binary: \"" + text + "\"");
    if (current.Width == 32) throw std::invalid_argument("opcode " + name + " is wider than 32 bits");
    current.Code = (current.Code << 1) | (c == '1' ? 1u : 0u);
    ++current.Width;
  }
  finish();
  return patterns;
}

}  // namespace

TSimDeviceDescription DescriptionFromEntity(IDispatch* entity, const TBsdlDeviceOptions& options) {
  if (!entity) throw std::invalid_argument("no boundary-scan entity");
  TSimDeviceDescription d;
  d.Name = DispCall(entity, kName).AsString();
  d.IdCode = DispCall(entity, kIdCode).AsLow32();
  if (d.IdCode == 0) d.IdCode = options.IdCode;
  d.InstructionLength = DispCall(entity, kInstructionLength).AsInt();
  if (d.InstructionLength == 0) d.InstructionLength = options.InstructionLength;

  const int32_t opcodes = DispCall(entity, kOpCodeCount).AsInt();
  int width = 0;
  for (int32_t i = 0; i < opcodes; ++i) {
    const ComPtr<IDispatch> op = DispCall(entity, kOpCode, i).AsDispatch();
    if (!op) continue;
    const std::string name = DispCall(op.Get(), kOpCodeName).AsString();
    for (const TPattern& p : ParsePatterns(name, DispCall(op.Get(), kOpCodePattern).AsString())) {
      d.OpCodes.push_back({name, p.Code});
      width = std::max(width, p.Width);
    }
  }
  if (d.InstructionLength == 0) d.InstructionLength = width;
  if (d.InstructionLength == 0) throw std::invalid_argument("entity \"" + d.Name + "\" gives no instruction length");

  // Boundary cells by number; whatever the entity does not list is internal.
  int32_t length = DispCall(entity, kBoundaryLength).AsInt();
  const int32_t cellCount = DispCall(entity, kBoundaryCellCount).AsInt();
  std::vector<std::pair<int32_t, TSimCell>> listed;
  for (int32_t i = 0; i < cellCount; ++i) {
    const ComPtr<IDispatch> cell = DispCall(entity, kBoundaryCell, i).AsDispatch();
    if (!cell) continue;
    const int32_t number = DispCall(cell.Get(), kCellNumber).AsInt();
    if (number < 0) continue;
    TSimCell c;
    c.Function = CellFunction(DispCall(cell.Get(), kCellFunction).AsInt());
    c.Port = DispCall(cell.Get(), kCellPortId).AsString();
    if (c.Port == "*") c.Port.clear();
    c.ControlCell = DispCall(cell.Get(), kCellControlNumber).AsInt();
    c.DisableValue = DispCall(cell.Get(), kCellDisableValue).AsInt() == 2 ? 1 : 0;  // eBit_1
    listed.emplace_back(number, std::move(c));
    length = std::max(length, number + 1);
  }
  d.BoundaryLength = std::max(length, 0);
  d.Cells.assign(static_cast<size_t>(d.BoundaryLength), TSimCell{});
  for (auto& [number, cell] : listed) d.Cells[static_cast<size_t>(number)] = std::move(cell);
  for (TSimCell& c : d.Cells) {
    if (c.ControlCell < 0 || c.ControlCell >= d.BoundaryLength ||
        d.Cells[static_cast<size_t>(c.ControlCell)].Function != TSimCellFunction::Control)
      c.ControlCell = -1;
  }

  // Altera: the configuration instructions and, for a known die, its status cell.
  const bool altera = ((d.IdCode >> 1) & 0x7FFu) == 0x06E && d.InstructionLength == 10;
  if (altera) {
    const std::pair<const char*, uint32_t> configuration[] = {
        {"PROGRAM", kOpProgram}, {"STARTUP", kOpStartup}, {"CHECK_STATUS", kOpCheckStatus},
        {"ACTIVE_DISENGAGE", kOpActiveDisengage}};
    for (const auto& [name, code] : configuration) {
      const bool present = std::any_of(d.OpCodes.begin(), d.OpCodes.end(),
                                       [&](const TSimOpCode& op) { return InstructionRole(op.Name) == InstructionRole(name); });
      if (!present) d.OpCodes.push_back({name, code});
    }
  }
  d.StatusCell = options.StatusCell;
  if (d.StatusCell < 0) {
    const std::optional<int32_t> known = ArriaVGZStatusCell(d.IdCode);
    if (known && *known < d.BoundaryLength) d.StatusCell = *known;
  }
  ValidateDescription(d);
  return d;
}

}  // namespace tavix::jtagsim
