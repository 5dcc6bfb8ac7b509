// Build-time generator of the built-in boundary-scan tables: reads the 16 BSDL files of
// data/bsdl with the module's own BSDL reader and writes the TBsdlEntityData records as C++.
//
//   tavix_bsdltables <folder of the .bsd files> <output .cpp>
//
// A file that does not read, or does not fit the table shape (one pin per package pin, at most
// two cells per pin, 1517 pins, 2775 cells, 12 instructions, 3 registers of at most two
// instructions), stops the build with the file's error. Identical pin and cell tables (pin sets
// that share a die and package) are written once.
#include <cstdio>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "bsdl/Tavix.BSDL.Resolve.h"
#include "catalog/Device_Arria5GZ_Bsdl.Tables.h"
#include "platform/Files.h"
#include "platform/automation/AutoTypes.h"

namespace tavix {
namespace {

[[noreturn]] void Fail(const std::string& message) {
  std::fprintf(stderr, "tavix_bsdltables: %s\n", message.c_str());
  std::exit(1);
}

std::string Quote(const std::string& text) {
  std::string result = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') result += '\\';
    if (static_cast<unsigned char>(c) < 0x20) {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\%03o", static_cast<unsigned char>(c));
      result += buffer;
      continue;
    }
    result += c;
  }
  return result + "\"";
}

const char* ElectricName(TPinElectrical value) {
  static const char* const names[] = {"eElectricInput",   "eElectricIO",  "eElectricOutput",      "eElectricOpenCollector",
                                      "eElectricPassive", "eElectricHiZ", "eElectricOpenEmitter", "eElectricPower"};
  return names[value];
}
const char* KindName(TScanPinKind value) {
  static const char* const names[] = {"eScanPinKind_Normal", "eScanPinKind_TRST", "eScanPinKind_TCK",
                                      "eScanPinKind_TDO",    "eScanPinKind_TDI",  "eScanPinKind_TMS",
                                      "eScanPinKind_Power",  "eScanPinKind_Ground"};
  return names[value];
}
std::string CellKindText(TCellKind value) {
  return value == eCellKind_Undefined ? "eCellKind_Undefined" : "eCellKind_BC_" + std::to_string(value - eCellKind_BC_0);
}
const char* FunctionName(TCellFunction value) {
  static const char* const names[] = {"eCellFunction_Undefined", "eCellFunction_Input",   "eCellFunction_Clock",
                                      "eCellFunction_Output2",   "eCellFunction_Output3", "eCellFunction_Control",
                                      "eCellFunction_ControlR",  "eCellFunction_Internal", "eCellFunction_BiDir",
                                      "eCellFunction_ObserveOnly"};
  return names[value];
}
const char* BitName(TBitValue value) {
  static const char* const names[] = {"eBit_Undefined", "eBit_0", "eBit_1", "eBit_X"};
  return names[value];
}
const char* ResultName(TDisableResult value) {
  static const char* const names[] = {"eDisableResult_Undefined", "eDisableResult_HiZ",   "eDisableResult_Weak0",
                                      "eDisableResult_Weak1",     "eDisableResult_Pull0", "eDisableResult_Pull1",
                                      "eDisableResult_Keeper"};
  return names[value];
}
const char* HaltName(TScanClockHaltMode value) {
  static const char* const names[] = {"eScanClockHaltMode_None", "eScanClockHaltMode_Low", "eScanClockHaltMode_Both"};
  return names[value];
}

// The table rows of one description, as C++ initializers.
struct TTables {
  std::string Pins, Cells, OpCodes, Registers;
};

TTables MakeTables(const TBsdlDescription& d, const std::string& file) {
  auto check = [&](bool ok, const std::string& message) {
    if (!ok) Fail(file + ": " + message);
  };
  check(static_cast<int32_t>(d.Pins.size()) <= kBsdlMaxPins, "more than " + std::to_string(kBsdlMaxPins) + " pins");
  check(static_cast<int32_t>(d.Cells.size()) <= kBsdlMaxCells, "more than " + std::to_string(kBsdlMaxCells) + " cells");
  check(static_cast<int32_t>(d.OpCodes.size()) <= kBsdlMaxOpCodes, "more than " + std::to_string(kBsdlMaxOpCodes) + " instructions");
  check(static_cast<int32_t>(d.Registers.size()) <= kBsdlMaxRegisters,
        "more than " + std::to_string(kBsdlMaxRegisters) + " register associations");
  TTables t;
  std::set<std::string> numbers;
  for (const TBsdlPinDesc& pin : d.Pins) {
    check(!pin.PinNumber.empty(), "port " + pin.PortId + " has no package pin; the built-in tables need one per pin");
    check(numbers.insert(UpperCase(pin.PinNumber)).second, "package pin " + pin.PinNumber + " is mapped twice");
    check(pin.Cells.size() <= 2, "port " + pin.PortId + " has more than two cells");
    const int32_t first = pin.Cells.size() > 0 ? pin.Cells[0] : -1;
    const int32_t second = pin.Cells.size() > 1 ? pin.Cells[1] : -1;
    t.Pins += "    {" + std::string(ElectricName(pin.Direction)) + ", " + Quote(pin.PinName) + ", " + Quote(pin.PinNumber) +
              ", " + KindName(pin.Kind) + ", " + Quote(pin.PinName) + ", " + Quote(pin.PinNumber) + ", " +
              std::to_string(pin.Cells.size()) + ", {" + std::to_string(first) + ", " + std::to_string(second) + "}},\n";
  }
  for (const TBsdlCellDesc& cell : d.Cells) {
    const std::string pinNumber = cell.Pin >= 0 ? d.Pins[static_cast<size_t>(cell.Pin)].PinNumber : std::string();
    t.Cells += "    {" + std::to_string(cell.Number) + ", " + CellKindText(cell.Kind) + ", " + Quote(cell.PortId) + ", " +
               FunctionName(cell.Function) + ", " + BitName(cell.SafeBit) + ", " + BitName(cell.DisableValue) + ", " +
               ResultName(cell.DisableResult) + ", " + Quote(pinNumber) + ", " + std::to_string(cell.ControlCell) + ", " +
               std::to_string(cell.TargetCell) + "},\n";
  }
  for (const TBsdlOpCodeDesc& opcode : d.OpCodes)
    t.OpCodes += "    {" + Quote(opcode.Name) + ", " + Quote(opcode.Pattern) + "},\n";
  for (const TBsdlRegisterDesc& reg : d.Registers) {
    check(reg.Instructions.size() <= 2, "register " + reg.Name + " has more than two instructions");
    // The tables keep a given length in the register's name, as the file writes it.
    const std::string name = reg.Length > 0 ? reg.Name + "[" + std::to_string(reg.Length) + "]" : reg.Name;
    std::string pairs;
    for (size_t i = 0; i < 2; ++i) {
      if (i < reg.Instructions.size()) {
        const TBsdlOpCodeDesc* opcode = d.FindOpCode(reg.Instructions[i]);
        pairs += "{" + Quote(reg.Instructions[i]) + ", " + Quote(opcode ? opcode->Pattern : "") + "}";
      } else {
        pairs += "{\"\", \"\"}";
      }
      if (i == 0) pairs += ", ";
    }
    t.Registers += "    {" + Quote(name) + ", 0, " + std::to_string(reg.Instructions.size()) + ", {" + pairs + "}},\n";
  }
  return t;
}

// Writes each distinct table once and answers its name.
class TTableWriter {
 public:
  std::string Table(const std::string& type, const std::string& prefix, const std::string& rows) {
    if (rows.empty()) return "nullptr";
    const auto found = FNames.find(type + rows);
    if (found != FNames.end()) return found->second;
    const std::string name = prefix + std::to_string(FCounts[prefix]++);
    FNames[type + rows] = name;
    FOut << "constexpr " << type << " " << name << "[] = {\n" << rows << "};\n\n";
    return name;
  }
  std::string Text() const { return FOut.str(); }

 private:
  std::map<std::string, std::string> FNames;
  std::ostringstream FOut;
  std::map<std::string, int> FCounts;
};

int Run(const std::string& folder, const std::string& output) {
  TTableWriter tables;
  std::ostringstream records;
  for (int32_t i = 0; i < kBsdlDescriptionCount; ++i) {
    const std::string path = IncludeTrailingPathDelimiter(folder) + kBsdlFileNames[i];
    TBsdlReading reading;
    if (!ReadBSDLFile(path, reading)) Fail(reading.Error);
    const TBsdlDescription& d = reading.Description;
    const TTables t = MakeTables(d, path);
    const std::string pins = tables.Table("TBsdlPinData", "kPins", t.Pins);
    const std::string cells = tables.Table("TBsdlCellData", "kCells", t.Cells);
    const std::string opcodes = tables.Table("TBsdlOpCodeData", "kOpCodes", t.OpCodes);
    const std::string registers = tables.Table("TBsdlRegisterData", "kRegisters", t.Registers);
    auto tap = [&](int32_t pin) { return Quote(pin >= 0 ? d.Pins[static_cast<size_t>(pin)].PinNumber : std::string()); };
    char speed[64];
    std::snprintf(speed, sizeof speed, "%.17g", d.ScanClockMaxSpeed);
    records << "    {" << Quote(d.EntityName) << ", " << d.BoundaryLength << ", " << speed << ", "
            << HaltName(d.ScanClockHaltMode) << ", " << Quote(d.ConformanceStatement) << ", " << Quote(d.CompliancePattern)
            << ", " << Quote(kBsdlFileNames[i]) << ", " << d.Instruction_SAMPLE << "u,\n     {" << tap(d.TapTdi) << ", "
            << tap(d.TapTdo) << ", " << tap(d.TapTms) << ", " << tap(d.TapTck) << ", " << tap(d.TapTrst) << "},\n     "
            << d.Pins.size() << ", " << pins << ", " << d.Cells.size() << ", " << cells << ", " << d.OpCodes.size() << ", "
            << opcodes << ", " << d.Registers.size() << ", " << registers << "},\n";
  }
  std::ostringstream out;
  out << "// Generated by tavix_bsdltables from the BSDL files of data/bsdl; do not edit.\n"
      << "#include \"catalog/Device_Arria5GZ_Bsdl.Tables.h\"\n\n"
      << "namespace tavix {\nnamespace {\n\n"
      << tables.Text() << "}  // namespace\n\n"
      << "const TBsdlEntityData kBsdlEntityData[kBsdlDescriptionCount] = {\n"
      << records.str() << "};\n\n}  // namespace tavix\n";
  ForceDirectories(ExtractFilePath(output));
  if (!WriteFileAtomically(output, out.str())) Fail(output + ": cannot write the file");
  return 0;
}

}  // namespace
}  // namespace tavix

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: tavix_bsdltables <folder of the .bsd files> <output .cpp>\n");
    return 2;
  }
  return tavix::Run(argv[1], argv[2]);
}
