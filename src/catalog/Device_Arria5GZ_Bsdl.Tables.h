// The built-in boundary-scan descriptions of the Arria V GZ family as constant tables: one
// record per pin set, in pin-set order. The records are generated at build time from
// data/bsdl/<stem>.bsd by tools/BsdlTables.cpp with the module's own BSDL reader.
//
// Kept free of the automation classes so that the generator compiles against the same records.
#pragma once

#include <cstdint>

#include "bsdl/Tavix.Classes.BSDL.Types.h"

namespace tavix {

constexpr int32_t kBsdlDescriptionCount = 16;
// The largest tables of one description.
constexpr int32_t kBsdlMaxPins = 1517;
constexpr int32_t kBsdlMaxCells = 2775;
constexpr int32_t kBsdlMaxOpCodes = 12;
constexpr int32_t kBsdlMaxRegisters = 3;

struct TBsdlPinData {
  TPinElectrical Direction;
  const char* PinName;    // the port, e.g. "IOA3", "VCC", "TCK"
  const char* PinNumber;  // the package pin, e.g. "A3"
  TScanPinKind Kind;
  const char* MappingPinName;
  const char* MappingPinNumber;
  int32_t CellCount;  // 0..2
  int32_t Cells[2];   // cell numbers; -1 beyond CellCount
};

struct TBsdlCellData {
  int32_t CellNumber;
  int32_t CellKind;     // a TCellKind, kept in 32 bits
  const char* PortId;   // "*" for a cell without a port
  TCellFunction CellFunction;
  TBitValue SafeBit;
  TBitValue DisableValue;
  TDisableResult DisableResult;
  const char* PinNumber;  // empty for a cell without a pin
  int32_t ControlCell;    // -1: none
  int32_t TargetCell;     // -1: none; on a control cell, the cell it governs
};

struct TBsdlOpCodeData {
  const char* InstructionName;
  const char* OpCodePattern;  // binary text, most significant bit first
};

struct TBsdlRegisterOpCode {
  const char* InstructionName;
  const char* OpCodePattern;
};

struct TBsdlRegisterData {
  const char* RegisterName;  // a length the file gives stays in the name: "IOCSR[320697]"
  int32_t RegisterLength;    // 0
  int32_t OpCodeCount;       // 0..2
  TBsdlRegisterOpCode OpCodes[2];
};

struct TBsdlEntityData {
  const char* Name;
  int32_t BoundaryLength;
  double ScanClockMaxSpeed;
  TScanClockHaltMode ScanClockHaltMode;
  const char* ConformanceStatement;
  const char* CompliancePattern;
  const char* Filename;
  uint32_t Instruction_SAMPLE;
  const char* TapPinNumbers[5];  // TDI, TDO, TMS, TCK, TRST
  int32_t PinCount;
  const TBsdlPinData* Pins;
  int32_t CellCount;
  const TBsdlCellData* Cells;  // entry i has cell number i
  int32_t OpCodeCount;
  const TBsdlOpCodeData* OpCodes;
  int32_t RegisterCount;
  const TBsdlRegisterData* Registers;
};

// The BSDL file names in pin-set order; entry i names description i.
extern const char* const kBsdlFileNames[kBsdlDescriptionCount];
// The descriptions (generated).
extern const TBsdlEntityData kBsdlEntityData[kBsdlDescriptionCount];

}  // namespace tavix
