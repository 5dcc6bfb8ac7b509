// A device's boundary-scan description as plain data, checked and linked: scan pins (one per
// package pin) with the cells that serve them, the boundary register with every cell's pin,
// control and target cell, the instructions and their opcodes, the register associations and
// the TAP. It is what a BSDL file says once its parts refer to each other correctly, and what
// a simulated device or a table generator is built from; the model entity (Tavix.Classes.BSDL)
// is built from it too.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "bsdl/Tavix.BSDL.Lexer.h"
#include "bsdl/Tavix.Classes.BSDL.Types.h"

namespace tavix {

struct TBsdlPinDesc {
  TPinElectrical Direction = eElectricPassive;
  std::string PinName;    // the port name; "D(3)" for an element of a signal vector
  std::string PinNumber;  // the package pin; empty when the pin map does not give one
  TScanPinKind Kind = eScanPinKind_Normal;
  std::string PortId;     // the port element as cells name it: "IOA3", "D(3)"
  std::vector<int32_t> Cells;  // numbers of the cells with this port, ascending
  TBsdlPosition Where;
};

struct TBsdlCellDesc {
  int32_t Number = -1;
  TCellKind Kind = eCellKind_Undefined;
  std::string CellName;     // as written, e.g. "BC_1"
  std::string PortId = "*";
  TCellFunction Function = eCellFunction_Undefined;
  TBitValue SafeBit = eBit_X;
  int32_t ControlCell = -1;
  TBitValue DisableValue = eBit_0;
  TDisableResult DisableResult = eDisableResult_Undefined;
  int32_t Pin = -1;         // index into Pins, -1 for none
  int32_t TargetCell = -1;  // on a control cell: the first cell it governs
  TBsdlPosition Where;
};

struct TBsdlOpCodeDesc {
  std::string Name;
  std::string Pattern;  // 0, 1 and X, most significant bit first
};

struct TBsdlRegisterDesc {
  std::string Name;    // e.g. "BOUNDARY", "IOCSR"
  int32_t Length = 0;  // 0 when the description does not give it
  std::vector<std::string> Instructions;
};

struct TBsdlDescription {
  std::string FileName;  // without folder, e.g. "5AGZME1E2H29.bsd"
  std::string EntityName;
  std::string ConformanceStatement;
  std::string CompliancePattern;
  std::string DesignWarning;
  int32_t InstructionLength = 0;
  uint32_t IdCode = 0;  // the first IDCODE pattern, X read as 0
  std::string IdCodePattern, UserCodePattern, InstructionCapture;
  double ScanClockMaxSpeed = 0;
  TScanClockHaltMode ScanClockHaltMode = eScanClockHaltMode_None;
  int32_t BoundaryLength = 0;

  std::vector<TBsdlPinDesc> Pins;
  std::vector<TBsdlCellDesc> Cells;  // index = cell number; cell 0 is nearest TDO
  std::vector<TBsdlOpCodeDesc> OpCodes;  // one per opcode, in file order
  std::vector<TBsdlRegisterDesc> Registers;
  std::vector<std::string> PrivateInstructions;
  int32_t TapTdi = -1, TapTdo = -1, TapTms = -1, TapTck = -1, TapTrst = -1;  // indices into Pins

  uint32_t Instruction_BYPASS = kInstructionNotGiven;
  uint32_t Instruction_EXTEST = kInstructionNotGiven;
  uint32_t Instruction_SAMPLE = kInstructionNotGiven;
  uint32_t Instruction_IDCODE = kInstructionNotGiven;
  uint32_t Instruction_USERCODE = kInstructionNotGiven;
  uint32_t Instruction_CLAMP = kInstructionNotGiven;
  uint32_t Instruction_HIGHZ = kInstructionNotGiven;

  // The first opcode of an instruction (without regard to case), or null.
  const TBsdlOpCodeDesc* FindOpCode(std::string_view name) const;
  // Its value with X read as 0; kInstructionNotGiven when absent or wider than 32 bits.
  uint32_t OpCodeValue(std::string_view name) const;
  // The pin of a package pin number, or -1.
  int32_t FindPin(std::string_view pinNumber) const;
  // The cells naming a port element (e.g. "CONF_DONE"), ascending.
  std::vector<int32_t> CellsOfPort(std::string_view portId) const;
};

// The value of a bit pattern with X read as 0; kInstructionNotGiven when wider than 32 bits.
uint32_t PatternValue(std::string_view pattern);

}  // namespace tavix
