#include "bsdl/Tavix.BSDL.Resolve.h"

#include <unordered_map>

#include "platform/Files.h"
#include "platform/automation/AutoTypes.h"

namespace tavix {

// ---- TBsdlDescription -------------------------------------------------------------------------

uint32_t PatternValue(std::string_view pattern) {
  if (pattern.empty() || pattern.size() > 32) return kInstructionNotGiven;
  uint32_t value = 0;
  for (char c : pattern) value = (value << 1) | (c == '1' ? 1u : 0u);
  return value;
}

const TBsdlOpCodeDesc* TBsdlDescription::FindOpCode(std::string_view name) const {
  for (const TBsdlOpCodeDesc& opcode : OpCodes)
    if (SameText(opcode.Name, name)) return &opcode;
  return nullptr;
}

uint32_t TBsdlDescription::OpCodeValue(std::string_view name) const {
  const TBsdlOpCodeDesc* opcode = FindOpCode(name);
  return opcode ? PatternValue(opcode->Pattern) : kInstructionNotGiven;
}

int32_t TBsdlDescription::FindPin(std::string_view pinNumber) const {
  for (size_t i = 0; i < Pins.size(); ++i)
    if (SameText(Pins[i].PinNumber, pinNumber)) return static_cast<int32_t>(i);
  return -1;
}

std::vector<int32_t> TBsdlDescription::CellsOfPort(std::string_view portId) const {
  std::vector<int32_t> cells;
  for (const TBsdlCellDesc& cell : Cells)
    if (SameText(cell.PortId, portId)) cells.push_back(cell.Number);
  return cells;
}

// ---- pin kinds by name ------------------------------------------------------------------------

namespace {

bool StartsWith(const std::string& text, std::string_view prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

bool IsGroundPinName(std::string_view name) {
  const std::string upper = UpperCase(name);
  return StartsWith(upper, "GND") || StartsWith(upper, "VSS") || StartsWith(upper, "GROUND") ||
         upper.find("GND") != std::string::npos;
}

bool IsPowerPinName(std::string_view name) {
  if (IsGroundPinName(name)) return false;
  const std::string upper = UpperCase(name);
  for (std::string_view prefix : {"VCC", "VDD", "VPP", "VBAT", "VIO", "PWR", "POWER"})
    if (StartsWith(upper, prefix)) return true;
  return false;
}

// ---- ResolveBSDL ------------------------------------------------------------------------------

namespace {

class TResolveRun {
 public:
  TResolveRun(const TBsdlParsedFile& file, TBsdlParser& parser) : FFile(file), FParser(parser) {}
  TBsdlDescription Run();

 private:
  [[noreturn]] void Fail(TBsdlPosition where, const std::string& message) const {
    throw EBsdlError(FFile.FileName, where, message);
  }
  void MakePins();
  void ApplyPinMap();
  void ApplyTap();
  void MakeCells();
  void MakeInstructions();
  int32_t PortIndex(const std::string& name) const {
    const auto found = FPortByName.find(UpperCase(name));
    return found == FPortByName.end() ? -1 : found->second;
  }
  // The pin of a port element; the element must exist.
  int32_t PinOf(int32_t port, int32_t index) const {
    const TBsdlPortDecl& decl = FFile.Ports[static_cast<size_t>(port)];
    const int32_t offset = !decl.IsVector ? 0 : decl.RangeLeft <= decl.RangeRight ? index - decl.RangeLeft : decl.RangeLeft - index;
    return FFirstPin[static_cast<size_t>(port)] + offset;
  }

  const TBsdlParsedFile& FFile;
  TBsdlParser& FParser;
  TBsdlDescription FDesc;
  std::unordered_map<std::string, int32_t> FPortByName;
  std::vector<int32_t> FFirstPin;
};

TBsdlDescription TResolveRun::Run() {
  FDesc.FileName = ExtractFileName(FFile.FileName);
  FDesc.EntityName = FFile.EntityName;
  FDesc.ConformanceStatement = FFile.ConformanceStatement;
  FDesc.CompliancePattern = FFile.CompliancePatterns;
  FDesc.DesignWarning = FFile.DesignWarning;
  FDesc.ScanClockMaxSpeed = FFile.ScanClockFrequency;
  FDesc.ScanClockHaltMode = FFile.ScanClockHaltMode;
  FDesc.InstructionCapture = FFile.InstructionCapture;
  FDesc.PrivateInstructions = FFile.PrivateInstructions;
  if (!FFile.IdCodes.empty()) {
    FDesc.IdCodePattern = FFile.IdCodes.front();
    FDesc.IdCode = PatternValue(FDesc.IdCodePattern);
  }
  if (!FFile.UserCodes.empty()) FDesc.UserCodePattern = FFile.UserCodes.front();
  MakePins();
  ApplyPinMap();
  ApplyTap();
  MakeCells();
  MakeInstructions();
  return std::move(FDesc);
}

void TResolveRun::MakePins() {
  FFirstPin.reserve(FFile.Ports.size());
  for (size_t p = 0; p < FFile.Ports.size(); ++p) {
    const TBsdlPortDecl& port = FFile.Ports[p];
    if (!FPortByName.emplace(UpperCase(port.Name), static_cast<int32_t>(p)).second)
      Fail(port.Where, "port " + port.Name + " is declared twice");
    FFirstPin.push_back(static_cast<int32_t>(FDesc.Pins.size()));
    TBsdlPinDesc pin;
    pin.Where = port.Where;
    switch (port.Mode) {
      case ePortMode_In:
        pin.Direction = eElectricInput;
        break;
      case ePortMode_Out:
      case ePortMode_Buffer:
        pin.Direction = eElectricOutput;
        break;
      case ePortMode_InOut:
        pin.Direction = eElectricIO;
        break;
      case ePortMode_Linkage:
        pin.Direction = eElectricPassive;
        if (IsGroundPinName(port.Name)) {
          pin.Kind = eScanPinKind_Ground;
          pin.Direction = eElectricPower;
        } else if (IsPowerPinName(port.Name)) {
          pin.Kind = eScanPinKind_Power;
          pin.Direction = eElectricPower;
        }
        break;
    }
    const int32_t width = port.Width();
    for (int32_t i = 0; i < width; ++i) {
      pin.PortId = port.IsVector ? port.Name + "(" + std::to_string(port.IndexAt(i)) + ")" : port.Name;
      // Supply and other linkage groups go by their group name; signal elements by element.
      pin.PinName = port.IsVector && port.Mode != ePortMode_Linkage ? pin.PortId : port.Name;
      FDesc.Pins.push_back(pin);
    }
  }
}

void TResolveRun::ApplyPinMap() {
  if (FFile.PinMapReference.empty()) {
    if (!FFile.Ports.empty()) FParser.AddNote(FFile.EntityWhere, "no PIN_MAP attribute: pins have no numbers");
    return;
  }
  std::string constantName = FFile.PinMapReference;
  if (FFile.PinMapIsIdentifier) {
    for (const TBsdlGenericDecl& generic : FFile.Generics)
      if (SameText(generic.Name, constantName)) constantName = Trim(generic.DefaultValue);
  }
  const auto found = FFile.PinMaps.find(UpperCase(constantName));
  if (found == FFile.PinMaps.end())
    Fail(FFile.PinMapWhere, "pin map " + constantName + " is not declared (no PIN_MAP_STRING constant of that name)");
  std::vector<bool> mapped(FFile.Ports.size(), false);
  for (const TBsdlPinMapItem& item : found->second) {
    const int32_t port = PortIndex(item.PortName);
    if (port < 0) Fail(item.Where, "port " + item.PortName + " in the pin map is not declared");
    if (mapped[static_cast<size_t>(port)]) Fail(item.Where, "port " + item.PortName + " is mapped twice");
    mapped[static_cast<size_t>(port)] = true;
    const TBsdlPortDecl& decl = FFile.Ports[static_cast<size_t>(port)];
    if (static_cast<int64_t>(item.PinNumbers.size()) != decl.Width()) {
      Fail(item.Where, "port " + decl.Name + " has " + std::to_string(decl.Width()) + " bit(s) but the pin map gives " +
                           std::to_string(item.PinNumbers.size()) + " pin(s)");
    }
    for (size_t i = 0; i < item.PinNumbers.size(); ++i)
      FDesc.Pins[static_cast<size_t>(FFirstPin[static_cast<size_t>(port)]) + i].PinNumber = item.PinNumbers[i];
  }
  for (size_t p = 0; p < mapped.size(); ++p)
    if (!mapped[p]) FParser.AddNote(FFile.Ports[p].Where, "port " + FFile.Ports[p].Name + " is not in the pin map");
}

void TResolveRun::ApplyTap() {
  struct TTap {
    const TBsdlTapPort& Port;
    const char* Attribute;
    TScanPinKind Kind;
    int32_t& Pin;
  };
  const TTap taps[] = {{FFile.TapScanIn, "TAP_SCAN_IN", eScanPinKind_TDI, FDesc.TapTdi},
                       {FFile.TapScanOut, "TAP_SCAN_OUT", eScanPinKind_TDO, FDesc.TapTdo},
                       {FFile.TapScanMode, "TAP_SCAN_MODE", eScanPinKind_TMS, FDesc.TapTms},
                       {FFile.TapScanClock, "TAP_SCAN_CLOCK", eScanPinKind_TCK, FDesc.TapTck},
                       {FFile.TapScanReset, "TAP_SCAN_RESET", eScanPinKind_TRST, FDesc.TapTrst}};
  for (const TTap& tap : taps) {
    if (!tap.Port.Given()) continue;
    const int32_t port = PortIndex(tap.Port.PortName);
    if (port < 0) Fail(tap.Port.Where, std::string(tap.Attribute) + " names port " + tap.Port.PortName + ", which is not declared");
    if (FFile.Ports[static_cast<size_t>(port)].IsVector)
      Fail(tap.Port.Where, std::string(tap.Attribute) + " needs a bit port, not a bit_vector");
    const int32_t pin = FFirstPin[static_cast<size_t>(port)];
    TBsdlPinDesc& desc = FDesc.Pins[static_cast<size_t>(pin)];
    if (desc.Kind != eScanPinKind_Normal)
      Fail(tap.Port.Where, "port " + tap.Port.PortName + " is already a TAP or supply pin");
    desc.Kind = tap.Kind;
    tap.Pin = pin;
  }
}

void TResolveRun::MakeCells() {
  if (!FFile.HasBoundaryRegister && FFile.BoundaryLength < 0) return;
  if (!FFile.HasBoundaryRegister) Fail(FFile.BoundaryLengthWhere, "BOUNDARY_LENGTH is given but BOUNDARY_REGISTER is missing");
  if (FFile.BoundaryLength < 0) Fail(FFile.BoundaryRegisterWhere, "BOUNDARY_REGISTER needs BOUNDARY_LENGTH");
  const int32_t length = FFile.BoundaryLength;
  FDesc.BoundaryLength = length;
  FDesc.Cells.resize(static_cast<size_t>(length));
  std::vector<bool> described(static_cast<size_t>(length), false);
  for (const TBsdlCellItem& item : FFile.Cells) {
    if (item.Number >= length)
      Fail(item.Where, "cell " + std::to_string(item.Number) + " lies beyond BOUNDARY_LENGTH " + std::to_string(length));
    if (described[static_cast<size_t>(item.Number)]) Fail(item.Where, "cell " + std::to_string(item.Number) + " is described twice");
    described[static_cast<size_t>(item.Number)] = true;
    TBsdlCellDesc& cell = FDesc.Cells[static_cast<size_t>(item.Number)];
    cell.Number = item.Number;
    cell.Kind = item.Kind;
    cell.CellName = item.CellName;
    cell.PortId = item.PortId;
    cell.Function = item.Function;
    cell.SafeBit = item.SafeBit;
    cell.ControlCell = item.ControlCell;
    cell.DisableValue = item.DisableValue;
    cell.DisableResult = item.DisableResult;
    cell.Where = item.Where;
    if (!item.PortName.empty()) {
      const int32_t port = PortIndex(item.PortName);
      if (port < 0) Fail(item.PortWhere, "port " + item.PortName + " of cell " + std::to_string(item.Number) + " is not declared");
      const TBsdlPortDecl& decl = FFile.Ports[static_cast<size_t>(port)];
      if (decl.Mode == ePortMode_Linkage) Fail(item.PortWhere, "port " + decl.Name + " is a linkage port and has no cells");
      if (decl.IsVector && !item.HasPortIndex)
        Fail(item.PortWhere, "port " + decl.Name + " is a bit_vector: the cell must name an element, e.g. " + decl.Name + "(" + std::to_string(decl.RangeLeft) + ")");
      if (!decl.IsVector && item.HasPortIndex) Fail(item.PortWhere, "port " + decl.Name + " is no bit_vector");
      if (decl.IsVector && !decl.Contains(item.PortIndex))
        Fail(item.PortWhere, "index " + std::to_string(item.PortIndex) + " lies outside port " + decl.Name);
      cell.Pin = PinOf(port, item.PortIndex);
      cell.PortId = FDesc.Pins[static_cast<size_t>(cell.Pin)].PortId;  // the port's own spelling
    }
    if (item.ControlCell >= length)
      Fail(item.ControlWhere, "control cell " + std::to_string(item.ControlCell) + " lies beyond BOUNDARY_LENGTH " + std::to_string(length));
  }
  for (int32_t n = 0; n < length; ++n)
    if (!described[static_cast<size_t>(n)])
      Fail(FFile.BoundaryRegisterWhere, "cell " + std::to_string(n) + " is not described (BOUNDARY_LENGTH is " + std::to_string(length) + ")");
  for (TBsdlCellDesc& cell : FDesc.Cells) {
    if (cell.ControlCell >= 0) {
      TBsdlCellDesc& control = FDesc.Cells[static_cast<size_t>(cell.ControlCell)];
      if (control.TargetCell < 0 && control.Number != cell.Number) control.TargetCell = cell.Number;
    }
    if (cell.Pin >= 0) FDesc.Pins[static_cast<size_t>(cell.Pin)].Cells.push_back(cell.Number);
  }
}

void TResolveRun::MakeInstructions() {
  if (!FFile.Opcodes.empty() && FFile.InstructionLength < 0)
    Fail(FFile.OpcodesWhere, "INSTRUCTION_OPCODE needs INSTRUCTION_LENGTH");
  FDesc.InstructionLength = FFile.InstructionLength < 0 ? 0 : FFile.InstructionLength;
  std::unordered_map<std::string, bool> names;
  for (const TBsdlOpcodeItem& item : FFile.Opcodes) {
    if (!names.emplace(UpperCase(item.Name), true).second) Fail(item.Where, "instruction " + item.Name + " is listed twice");
    for (const std::string& pattern : item.Patterns) {
      if (static_cast<int32_t>(pattern.size()) != FFile.InstructionLength) {
        Fail(item.Where, "opcode " + pattern + " of " + item.Name + " has " + std::to_string(pattern.size()) +
                             " bits but INSTRUCTION_LENGTH is " + std::to_string(FFile.InstructionLength));
      }
      FDesc.OpCodes.push_back({item.Name, pattern});
    }
  }
  FDesc.Instruction_BYPASS = FDesc.OpCodeValue("BYPASS");
  FDesc.Instruction_EXTEST = FDesc.OpCodeValue("EXTEST");
  FDesc.Instruction_SAMPLE = FDesc.OpCodeValue("SAMPLE");
  FDesc.Instruction_IDCODE = FDesc.OpCodeValue("IDCODE");
  FDesc.Instruction_USERCODE = FDesc.OpCodeValue("USERCODE");
  FDesc.Instruction_CLAMP = FDesc.OpCodeValue("CLAMP");
  FDesc.Instruction_HIGHZ = FDesc.OpCodeValue("HIGHZ");
  for (const std::string& name : FFile.PrivateInstructions)
    if (!FDesc.FindOpCode(name)) FParser.AddNote(FFile.OpcodesWhere, "private instruction " + name + " has no opcode");

  for (const TBsdlRegisterItem& item : FFile.Registers) {
    TBsdlRegisterDesc reg{item.Name, item.Length, {}};
    for (const std::string& instruction : item.Instructions) {
      if (FDesc.FindOpCode(instruction)) {
        reg.Instructions.push_back(instruction);
      } else {
        FParser.AddNote(item.Where, "REGISTER_ACCESS names instruction " + instruction +
                                        ", which INSTRUCTION_OPCODE does not list; left out");
      }
    }
    FDesc.Registers.push_back(std::move(reg));
  }
}

}  // namespace

TBsdlDescription ResolveBSDL(const TBsdlParsedFile& file, TBsdlParser& parser) {
  return TResolveRun(file, parser).Run();
}

// ---- reading ----------------------------------------------------------------------------------

bool ReadBSDLText(std::string_view text, const std::string& fileName, TBsdlReading& reading) {
  reading = TBsdlReading();
  reading.Parser = std::make_shared<TBsdlParser>(fileName);
  try {
    reading.File = reading.Parser->Parse(text);
    reading.Description = ResolveBSDL(reading.File, *reading.Parser);
  } catch (const EBsdlError& e) {
    reading.Error = e.what();
  } catch (const std::bad_alloc&) {
    reading.Error = fileName + ": out of memory while reading the description";
  }
  return reading.Ok();
}

bool ReadBSDLFile(const std::string& path, TBsdlReading& reading) {
  reading = TBsdlReading();
  const int64_t size = FileSize(path);
  if (size < 0 || !FileExists(path)) {
    reading.Error = path + ": cannot read the file";
    return false;
  }
  if (size > kBsdlMaxFileSize) {
    reading.Error = path + ": the file is larger than " + std::to_string(kBsdlMaxFileSize >> 20) + " MiB";
    return false;
  }
  std::string text;
  if (!ReadFileText(path, text)) {
    reading.Error = path + ": cannot read the file";
    return false;
  }
  return ReadBSDLText(text, path, reading);
}

}  // namespace tavix
