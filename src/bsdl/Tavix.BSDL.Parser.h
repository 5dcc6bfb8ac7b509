// Reads the text of a BSDL file (IEEE 1149.1-2001 as vendors ship it) into what the file says:
// the entity's generics, ports, use clauses, constants and attributes, with the contents of
// the attribute strings the boundary-scan model needs taken apart (pin map, instructions,
// register access, boundary register). Every item keeps its line and column. The parser checks
// syntax and the words it knows; how the items refer to each other is checked afterwards
// (Tavix.BSDL.Resolve). A fault stops it with an EBsdlError.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "bsdl/Tavix.BSDL.Lexer.h"
#include "bsdl/Tavix.Classes.BSDL.Types.h"

namespace tavix {

// Limits beyond which a description is refused rather than read.
constexpr int32_t kBsdlMaxValueNesting = 32;      // ( ... ( ... ) ... ) in an attribute value
constexpr int32_t kBsdlMaxBoundaryLength = 1 << 18;
constexpr int32_t kBsdlMaxInstructionLength = 1024;
constexpr int32_t kBsdlMaxPortBits = 1 << 17;      // all port bits of an entity together

struct TBsdlGenericDecl {
  std::string Name, TypeName, DefaultValue;  // a string default without its quotes
  TBsdlPosition Where;
};

struct TBsdlPortDecl {
  std::string Name;
  TVHDLPortMode Mode = ePortMode_In;
  bool IsVector = false;
  int32_t RangeLeft = 0, RangeRight = 0;  // bit_vector(RangeLeft to|downto RangeRight)
  TBsdlPosition Where;

  int32_t Width() const;
  // Element `i` in declaration order (0 = RangeLeft) as its index value.
  int32_t IndexAt(int32_t i) const { return RangeLeft <= RangeRight ? RangeLeft + i : RangeLeft - i; }
  bool Contains(int32_t index) const;
};

// An attribute or constant value as written; strings are joined.
struct TBsdlAttributeSpec {
  std::string Name, ObjectName, ObjectClass, Value;
  TBsdlPosition Where;       // of the attribute's name
  TBsdlPosition ValueWhere;  // of its value
};

struct TBsdlConstantDecl {
  std::string Name, TypeName, Value;
  TBsdlPosition Where;
};

struct TBsdlPinMapItem {
  std::string PortName;
  std::vector<std::string> PinNumbers;  // one for a scalar port, one per element for a vector
  TBsdlPosition Where;
};

struct TBsdlOpcodeItem {
  std::string Name;
  std::vector<std::string> Patterns;
  TBsdlPosition Where;
};

struct TBsdlRegisterItem {
  std::string Name;
  int32_t Length = 0;  // 0 when not given
  std::vector<std::string> Instructions;
  TBsdlPosition Where;
};

struct TBsdlCellItem {
  int32_t Number = -1;
  std::string CellName;  // "BC_1", or a cell a vendor defines
  TCellKind Kind = eCellKind_Undefined;
  std::string PortId;    // "*", a port name, or a port name with an index, e.g. "D(3)"
  std::string PortName;  // the port part ("" for "*")
  int32_t PortIndex = -1;
  bool HasPortIndex = false;
  TCellFunction Function = eCellFunction_Undefined;
  TBitValue SafeBit = eBit_X;
  int32_t ControlCell = -1;
  TBitValue DisableValue = eBit_0;
  TDisableResult DisableResult = eDisableResult_Undefined;
  TBsdlPosition Where;
  TBsdlPosition PortWhere, ControlWhere;
};

// A TAP port named by a TAP_SCAN_... attribute.
struct TBsdlTapPort {
  std::string PortName;
  TBsdlPosition Where;
  bool Given() const { return !PortName.empty(); }
};

struct TBsdlParsedFile {
  std::string FileName;
  std::string EntityName;
  TBsdlPosition EntityWhere;

  std::vector<TBsdlGenericDecl> Generics;
  std::vector<TBsdlPortDecl> Ports;
  std::vector<std::string> UseClauses;  // e.g. "STD_1149_1_2001.all"
  std::vector<TBsdlConstantDecl> Constants;
  std::vector<TBsdlAttributeSpec> Attributes;  // every attribute, known or not, in file order

  // Pin-map constants (type PIN_MAP_STRING) by name, upper case.
  std::map<std::string, std::vector<TBsdlPinMapItem>> PinMaps;

  // What the known attributes say ("Given" flags and positions for the checks that follow).
  std::string ConformanceStatement;
  std::string PinMapReference;  // the PIN_MAP value: a generic or constant name
  bool PinMapIsIdentifier = false;
  TBsdlPosition PinMapWhere;
  TBsdlTapPort TapScanIn, TapScanOut, TapScanMode, TapScanClock, TapScanReset;
  double ScanClockFrequency = 0;
  TScanClockHaltMode ScanClockHaltMode = eScanClockHaltMode_None;
  std::string CompliancePatterns;
  int32_t InstructionLength = -1;  // -1 when not given
  TBsdlPosition InstructionLengthWhere;
  std::vector<TBsdlOpcodeItem> Opcodes;
  TBsdlPosition OpcodesWhere;
  std::string InstructionCapture;
  std::vector<std::string> PrivateInstructions;
  std::vector<std::string> IdCodes, UserCodes;  // 32-character patterns of 0, 1 and X
  std::vector<TBsdlRegisterItem> Registers;
  int32_t BoundaryLength = -1;  // -1 when not given
  TBsdlPosition BoundaryLengthWhere;
  std::vector<TBsdlCellItem> Cells;  // in file order
  bool HasBoundaryRegister = false;
  TBsdlPosition BoundaryRegisterWhere;
  std::string DesignWarning;
};

class TBsdlParser : public TVHDLParser {
 public:
  explicit TBsdlParser(std::string fileName) : FFileName(std::move(fileName)) {}

  // Reads `source`; raises EBsdlError at the first fault. The parser keeps no reference to
  // the source afterwards.
  TBsdlParsedFile Parse(std::string_view source);

  std::string SourceName() const override { return FFileName; }
  const std::vector<std::string>& Notes() const override { return FNotes; }
  void AddNote(TBsdlPosition where, const std::string& text);

 private:
  std::string FFileName;
  std::vector<std::string> FNotes;
};

}  // namespace tavix
