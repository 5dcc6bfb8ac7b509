// The enumerations of the boundary-scan model, the VHDL port modes and the parser base: what
// the model, the BSDL reader and the build-time table generator share. No automation here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavix {

// ---- enumerations (one byte each, value 0 first) ----------------------------------------------

enum TPinElectrical : uint8_t {
  eElectricInput,
  eElectricIO,
  eElectricOutput,
  eElectricOpenCollector,
  eElectricPassive,
  eElectricHiZ,
  eElectricOpenEmitter,
  eElectricPower,
};

enum TScanPinKind : uint8_t {
  eScanPinKind_Normal,
  eScanPinKind_TRST,
  eScanPinKind_TCK,
  eScanPinKind_TDO,
  eScanPinKind_TDI,
  eScanPinKind_TMS,
  eScanPinKind_Power,
  eScanPinKind_Ground,
};

enum TCellKind : uint8_t {
  eCellKind_Undefined,
  eCellKind_BC_0,
  eCellKind_BC_1,
  eCellKind_BC_2,
  eCellKind_BC_3,
  eCellKind_BC_4,
  eCellKind_BC_5,
  eCellKind_BC_6,
  eCellKind_BC_7,
  eCellKind_BC_8,
  eCellKind_BC_9,
  eCellKind_BC_10,
};

enum TCellFunction : uint8_t {
  eCellFunction_Undefined,
  eCellFunction_Input,
  eCellFunction_Clock,
  eCellFunction_Output2,
  eCellFunction_Output3,
  eCellFunction_Control,
  eCellFunction_ControlR,
  eCellFunction_Internal,
  eCellFunction_BiDir,
  eCellFunction_ObserveOnly,
};

enum TBitValue : uint8_t { eBit_Undefined, eBit_0, eBit_1, eBit_X };

enum TDisableResult : uint8_t {
  eDisableResult_Undefined,
  eDisableResult_HiZ,
  eDisableResult_Weak0,
  eDisableResult_Weak1,
  eDisableResult_Pull0,
  eDisableResult_Pull1,
  eDisableResult_Keeper,
};

enum TScanClockHaltMode : uint8_t { eScanClockHaltMode_None, eScanClockHaltMode_Low, eScanClockHaltMode_Both };

// Display names used in descriptions ("" for a value outside the enumeration).
const char* PinElectricalName(TPinElectrical value);
const char* CellKindName(TCellKind value);
const char* CellFunctionName(TCellFunction value);
const char* BitValueName(TBitValue value);
const char* DisableResultName(TDisableResult value);

// An opcode field that the description does not give.
constexpr uint32_t kInstructionNotGiven = 0xFFFFFFFFu;
// Line and column of an object made without a parser.
constexpr int32_t kNoSourcePosition = 9999;

// What made a VHDL object from text: it names the source and keeps the notes it made while
// reading (attributes it read but does not interpret, for example).
class TVHDLParser {
 public:
  virtual ~TVHDLParser() = default;
  virtual std::string SourceName() const = 0;
  virtual const std::vector<std::string>& Notes() const = 0;
};

enum TVHDLPortMode : uint8_t { ePortMode_In, ePortMode_Out, ePortMode_InOut, ePortMode_Buffer, ePortMode_Linkage };
const char* PortModeName(TVHDLPortMode mode);  // "in", "out", "inout", "buffer", "linkage"

}  // namespace tavix
