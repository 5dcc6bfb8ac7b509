#include "simhost/jtag/SimDevice.h"

#include <stdexcept>
#include <unordered_map>

namespace tavix::jtagsim {

namespace {

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

bool HasInput(TSimCellFunction f) {
  return f == TSimCellFunction::Input || f == TSimCellFunction::ObserveOnly || f == TSimCellFunction::Bidir;
}
bool HasOutput(TSimCellFunction f) {
  return f == TSimCellFunction::Output2 || f == TSimCellFunction::Output3 || f == TSimCellFunction::Bidir;
}

[[noreturn]] void Invalid(const TSimDeviceDescription& d, const std::string& what) {
  throw std::invalid_argument("device description \"" + d.Name + "\": " + what);
}

// Whether the design of a configured device drives port k (two pins in three).
bool DesignDrives(size_t k) { return k % 3 != 0; }

}  // namespace

TSimInstruction InstructionRole(std::string_view name) {
  struct TEntry {
    std::string_view Name;
    TSimInstruction Role;
  };
  static constexpr TEntry kRoles[] = {
      {"BYPASS", TSimInstruction::Bypass},
      {"EXTEST", TSimInstruction::Extest},
      {"EXTEST_PULSE", TSimInstruction::Extest},
      {"EXTEST_TRAIN", TSimInstruction::Extest},
      {"SAMPLE", TSimInstruction::SamplePreload},
      {"PRELOAD", TSimInstruction::SamplePreload},
      {"SAMPLE/PRELOAD", TSimInstruction::SamplePreload},
      {"IDCODE", TSimInstruction::IdCode},
      {"USERCODE", TSimInstruction::UserCode},
      {"CLAMP", TSimInstruction::Clamp},
      {"HIGHZ", TSimInstruction::HighZ},
      {"PROGRAM", TSimInstruction::Program},
      {"STARTUP", TSimInstruction::Startup},
      {"CHECK_STATUS", TSimInstruction::CheckStatus},
      {"ACTIVE_DISENGAGE", TSimInstruction::ActiveDisengage},
  };
  for (const TEntry& e : kRoles)
    if (SameName(e.Name, name)) return e.Role;
  return TSimInstruction::Other;
}

void ValidateDescription(const TSimDeviceDescription& d) {
  if (d.InstructionLength < 2 || d.InstructionLength > 32)
    Invalid(d, "instruction length " + std::to_string(d.InstructionLength) + " is not 2 to 32");
  const uint64_t limit = uint64_t{1} << d.InstructionLength;
  if ((d.InstructionCapture & 3u) != 1u || d.InstructionCapture >= limit)
    Invalid(d, "the instruction capture value must end in binary 01 and fit the register");
  if (d.IdCode != 0 && (d.IdCode & 1u) == 0) Invalid(d, "an IDCODE must end in a 1 bit");
  for (const TSimOpCode& op : d.OpCodes) {
    if (op.Name.empty()) Invalid(d, "an instruction without a name");
    if (op.Code >= limit) Invalid(d, "opcode of " + op.Name + " does not fit the instruction register");
  }
  if (d.BoundaryLength < 0 || static_cast<size_t>(d.BoundaryLength) != d.Cells.size())
    Invalid(d, "boundary length " + std::to_string(d.BoundaryLength) + " but " +
                   std::to_string(d.Cells.size()) + " cells");
  for (size_t i = 0; i < d.Cells.size(); ++i) {
    const TSimCell& c = d.Cells[i];
    if (c.ControlCell < -1 || c.ControlCell >= d.BoundaryLength)
      Invalid(d, "cell " + std::to_string(i) + " names control cell " + std::to_string(c.ControlCell));
    if (c.ControlCell >= 0 && d.Cells[static_cast<size_t>(c.ControlCell)].Function != TSimCellFunction::Control)
      Invalid(d, "cell " + std::to_string(i) + " names a control cell that is not one");
    if (c.DisableValue > 1) Invalid(d, "cell " + std::to_string(i) + " has a disable value other than 0 or 1");
  }
  if (d.StatusCell < -1 || d.StatusCell >= d.BoundaryLength)
    Invalid(d, "status cell " + std::to_string(d.StatusCell) + " lies outside the boundary register");
  if (d.StartupClocks < 0) Invalid(d, "negative start-up clock count");
}

TSimDevice::TSimDevice(TSimDeviceDescription description) : FDescription(std::move(description)) {
  ValidateDescription(FDescription);
  FIrMask = FDescription.InstructionLength == 32 ? 0xFFFFFFFFu : (1u << FDescription.InstructionLength) - 1u;

  // Gather the ports in order of their first cell.
  std::unordered_map<std::string, size_t> byName;
  const size_t length = FDescription.Cells.size();
  FControlPort.assign(length, -1);
  for (size_t i = 0; i < length; ++i) {
    const TSimCell& c = FDescription.Cells[i];
    if (c.Port.empty() || c.Port == "*" || c.Function == TSimCellFunction::Control ||
        c.Function == TSimCellFunction::Internal)
      continue;
    auto [it, added] = byName.try_emplace(c.Port, FPorts.size());
    if (added) FPorts.push_back(TSimPort{c.Port});
    TSimPort& port = FPorts[it->second];
    if (HasInput(c.Function) && port.InputCell < 0) port.InputCell = static_cast<int32_t>(i);
    if (HasOutput(c.Function) && port.OutputCell < 0) {
      port.OutputCell = static_cast<int32_t>(i);
      port.ControlCell = c.ControlCell;
      port.DisableValue = c.DisableValue;
      if (c.ControlCell >= 0) FControlPort[static_cast<size_t>(c.ControlCell)] = static_cast<int32_t>(it->second);
    }
  }

  for (size_t k = 0; k < FPorts.size(); ++k)
    if (FPorts[k].InputCell >= 0 && FPorts[k].InputCell == FDescription.StatusCell) FStatusPort = static_cast<int32_t>(k);

  FBoundary.assign(length, 0);
  // Nothing is driven under EXTEST until something is preloaded: controls start disabled.
  FUpdate.assign(length, 0);
  for (const TSimPort& p : FPorts)
    if (p.ControlCell >= 0) FUpdate[static_cast<size_t>(p.ControlCell)] = p.DisableValue;
  FClock = [] { return uint64_t{0}; };
  ResetLogic();
}

std::optional<uint32_t> TSimDevice::OpCode(std::string_view name) const {
  for (const TSimOpCode& op : FDescription.OpCodes)
    if (SameName(op.Name, name)) return op.Code;
  return std::nullopt;
}

void TSimDevice::TapReset() {
  FState = TTapState::TestLogicReset;
  FTdoDriven = false;
  ResetLogic();
}

void TSimDevice::ResetLogic() {
  if (FDescription.IdCode != 0) {
    const auto code = OpCode("IDCODE");
    FInstruction = code ? *code : FIrMask;
    FRole = TSimInstruction::IdCode;
    FDr = TDataRegister::Word;
  } else {
    FInstruction = FIrMask;
    FRole = TSimInstruction::Bypass;
    FDr = TDataRegister::Bypass;
  }
}

void TSimDevice::Select(uint32_t code) {
  FInstruction = code;
  FRole = TSimInstruction::Bypass;
  for (const TSimOpCode& op : FDescription.OpCodes) {
    if (op.Code == code) {
      FRole = InstructionRole(op.Name);
      break;
    }
  }
  const bool hasBoundary = !FBoundary.empty();
  switch (FRole) {
    case TSimInstruction::IdCode:
      FDr = FDescription.IdCode != 0 ? TDataRegister::Word : TDataRegister::Bypass;
      break;
    case TSimInstruction::UserCode:
      FDr = TDataRegister::Word;
      break;
    case TSimInstruction::Extest:
    case TSimInstruction::SamplePreload:
    case TSimInstruction::CheckStatus:
      FDr = hasBoundary ? TDataRegister::Boundary : TDataRegister::Bypass;
      break;
    case TSimInstruction::Program:
      FDr = TDataRegister::Program;
      break;
    default:
      FDr = TDataRegister::Bypass;
      break;
  }
}

void TSimDevice::UpdateIr() {
  Select(FIrShift & FIrMask);
  switch (FRole) {
    case TSimInstruction::Program:
      // The device drops its configuration and waits for a new one.
      FConfigured = false;
      FReceiver.Reset();
      break;
    case TSimInstruction::Startup:
      FStartupCount = 0;
      break;
    case TSimInstruction::ActiveDisengage:
      FDisengaged = true;
      break;
    default:
      break;
  }
}

void TSimDevice::StartupClock() {
  if (FStartupCount < FDescription.StartupClocks) ++FStartupCount;
  if (FStartupCount >= FDescription.StartupClocks && !FConfigured && FReceiver.Complete()) {
    FConfigured = true;
    FUserCode = FReceiver.UserCode();
    FDisengaged = false;
  }
}

bool TSimDevice::PinLevelAt(size_t k, uint64_t now) const {
  const TSimPort& port = FPorts[k];
  if (static_cast<int32_t>(k) == FStatusPort) return FConfigured;  // the CONF_DONE pin itself
  if (FRole == TSimInstruction::Extest && port.OutputCell >= 0) {
    const bool enabled = port.ControlCell < 0 || FUpdate[static_cast<size_t>(port.ControlCell)] != port.DisableValue;
    if (enabled) return FUpdate[static_cast<size_t>(port.OutputCell)] != 0;
  }
  if (!FConfigured) return k % 2 == 0;
  return ((now + 64 * k) >> (6 + k % 5)) & 1u;
}

std::vector<uint8_t> TSimDevice::CaptureCells() const {
  const uint64_t now = Now();
  const size_t length = FDescription.Cells.size();
  std::vector<uint8_t> cells(length, 0);
  for (size_t k = 0; k < FPorts.size(); ++k) {
    const TSimPort& port = FPorts[k];
    const bool level = PinLevelAt(k, now);
    if (port.InputCell >= 0) cells[static_cast<size_t>(port.InputCell)] = level;
    // The core's output: what the design drives, nothing before configuration.
    if (port.OutputCell >= 0 && port.OutputCell != port.InputCell)
      cells[static_cast<size_t>(port.OutputCell)] = FConfigured && DesignDrives(k) ? level : 0;
  }
  for (size_t i = 0; i < length; ++i) {
    const int32_t k = FControlPort[i];
    if (FDescription.Cells[i].Function != TSimCellFunction::Control) continue;
    if (k < 0) continue;
    const TSimPort& port = FPorts[static_cast<size_t>(k)];
    const bool drives = FConfigured && DesignDrives(static_cast<size_t>(k));
    cells[i] = drives ? static_cast<uint8_t>(port.DisableValue ^ 1u) : port.DisableValue;
  }
  if (FDescription.StatusCell >= 0) cells[static_cast<size_t>(FDescription.StatusCell)] = FConfigured;
  return cells;
}

void TSimDevice::CaptureDr() {
  switch (FDr) {
    case TDataRegister::Bypass:
    case TDataRegister::Program:
      FBit = false;
      return;
    case TDataRegister::Word:
      FWord = FRole == TSimInstruction::UserCode ? UserCode() : FDescription.IdCode;
      return;
    case TDataRegister::Boundary:
      FBoundary = CaptureCells();
      FHead = 0;
      return;
  }
}

void TSimDevice::UpdateDr() {
  if (FDr != TDataRegister::Boundary) return;
  if (FRole != TSimInstruction::Extest && FRole != TSimInstruction::SamplePreload) return;
  const size_t length = FBoundary.size();
  for (size_t i = 0; i < length; ++i) {
    size_t at = FHead + i;
    if (at >= length) at -= length;
    FUpdate[i] = FBoundary[at];
  }
}

}  // namespace tavix::jtagsim
