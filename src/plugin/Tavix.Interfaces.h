// Records over the module's own automation objects, used when the module (or a host) calls
// them by DISPID: a flow stage calling back its driver, a host asking a pin for its number.
#pragma once

#include "host/Opal.Interfaces.h"

namespace tavix {

TAVIX_RECORD(IDeviceIOStandard)
  std::string GetDisplayName() const { return Call(503519).AsString(); }
  std::string GetParamName() const { return Call(503520).AsString(); }
  int32_t GetSlewCount() const { return Call(503521).AsInt(); }
  std::string GetSlewValue(int32_t index) const { return Call(503522, index).AsString(); }
  int32_t GetDriveCount() const { return Call(503523).AsInt(); }
  std::string GetDriveStrength(int32_t index) const { return Call(503524, index).AsString(); }
};

TAVIX_RECORD(IDevicePin)
  std::string GetPinNumber() const { return Call(503525).AsString(); }
  std::string GetIOBank() const { return Call(503526).AsString(); }
  int32_t GetIOStandardCount() const { return Call(503531).AsInt(); }
  IDeviceIOStandard GetIOStandard(int32_t index) const { return IDeviceIOStandard(Call(503532, index)); }
  std::string GetDifferentialId() const { return Call(503545).AsString(); }
  std::string GetClkDifferentialId() const { return Call(503546).AsString(); }
  // The Boolean pin queries 503527..503549 by DISPID.
  bool GetFlag(DISPID id) const { return Call(id).AsBool(); }
};

// ---- boundary-scan description (the host walks it by DISPID) ----
struct IScanPin;
struct IPinMapping;
struct IBoundaryCell;
struct IInstructionOpCode;
struct IRegisterAssociation;

TAVIX_RECORD(IBSDLEntity)
  std::string GetName() const { return Call(503458).AsString(); }
  int32_t GetInstructionLength() const { return Call(503459).AsInt(); }
  uint32_t GetIdCode() const { return Call(503460).AsLow32(); }
  int32_t GetBoundaryLength() const { return Call(503461).AsInt(); }
  inline IScanPin GetPin(int32_t index) const;
  inline IPinMapping GetPinMapping(int32_t index) const;
  inline IBoundaryCell GetBoundaryCell(int32_t index) const;
  inline IInstructionOpCode GetInstructionOpcode(int32_t index) const;
  inline IRegisterAssociation GetRegisterAssociation(int32_t index) const;
  int32_t GetPinCount() const { return Call(503467).AsInt(); }
  int32_t GetPinMappingCount() const { return Call(503468).AsInt(); }
  int32_t GetBoundaryCellCount() const { return Call(503469).AsInt(); }
  int32_t GetInstructionOpcodeCount() const { return Call(503470).AsInt(); }
  int32_t GetRegisterAssociationCount() const { return Call(503471).AsInt(); }
  inline IScanPin GetPin_TDI() const;
  inline IScanPin GetPin_TDO() const;
  inline IScanPin GetPin_TMS() const;
  inline IScanPin GetPin_TCK() const;
  inline IScanPin GetPin_TRST() const;
  uint32_t GetInstruction_BYPASS() const { return Call(503477).AsLow32(); }
  uint32_t GetInstruction_EXTEST() const { return Call(503478).AsLow32(); }
  uint32_t GetInstruction_SAMPLE() const { return Call(503479).AsLow32(); }
  uint32_t GetInstruction_IDCODE() const { return Call(503480).AsLow32(); }
  uint32_t GetInstruction_USERCODE() const { return Call(503481).AsLow32(); }
  uint32_t GetInstruction_CLAMP() const { return Call(503482).AsLow32(); }
  uint32_t GetInstruction_HIGHZ() const { return Call(503483).AsLow32(); }
  double GetScanClockMaxSpeed() const { return Call(503484).AsDouble(); }
  int32_t GetScanClockHaltMode() const { return Call(503485).AsInt(); }
  std::string GetConformanceStatement() const { return Call(503486).AsString(); }
  std::string GetCompliancePattern() const { return Call(503487).AsString(); }
  std::string GetDesignWarning() const { return Call(503488).AsString(); }
  std::string GetFilename() const { return Call(503489).AsString(); }
};

// Operations every object of an entity answers.
#define TAVIX_BSDL_OBJECT_CALLS                                                   \
  std::string GetDescription() const { return Call(503427).AsString(); }          \
  std::string GetShortDescription() const { return Call(503428).AsString(); }     \
  IBSDLEntity GetEntity() const { return IBSDLEntity(Call(503429)); }

TAVIX_RECORD(IScanPin)
  TAVIX_BSDL_OBJECT_CALLS
  int32_t GetDirection() const { return Call(503490).AsInt(); }
  std::string GetPinName() const { return Call(503491).AsString(); }
  std::string GetPinNumber() const { return Call(503492).AsString(); }
  int32_t GetKind() const { return Call(503493).AsInt(); }
  inline IPinMapping GetPinMapping() const;
  int32_t GetBoundaryCellCount() const { return Call(503495).AsInt(); }
  inline IBoundaryCell GetBoundaryCell(int32_t index) const;
  int32_t GetCurrentValue() const { return Call(503497).AsInt(); }
  void SetCurrentValue(int32_t value) const { Call(509024, value); }
};

TAVIX_RECORD(IPinMapping)
  TAVIX_BSDL_OBJECT_CALLS
  std::string GetPinName() const { return Call(503498).AsString(); }
  std::string GetPinNumber() const { return Call(503499).AsString(); }
  IScanPin GetScanPin() const { return IScanPin(Call(503500)); }
};

TAVIX_RECORD(IBoundaryCell)
  TAVIX_BSDL_OBJECT_CALLS
  int32_t GetCellNumber() const { return Call(503501).AsInt(); }
  int32_t GetCellKind() const { return Call(503502).AsInt(); }
  std::string GetPortId() const { return Call(503503).AsString(); }
  int32_t GetCellFunction() const { return Call(503504).AsInt(); }
  int32_t GetSafeBit() const { return Call(503505).AsInt(); }
  int32_t GetControlCellNumber() const { return Call(503506).AsInt(); }
  int32_t GetDisableValue() const { return Call(503507).AsInt(); }
  int32_t GetDisableResult() const { return Call(503508).AsInt(); }
  IScanPin GetPin() const { return IScanPin(Call(503509)); }
  IBoundaryCell GetControlCell() const { return IBoundaryCell(Call(503510)); }
  IBoundaryCell GetTargetCell() const { return IBoundaryCell(Call(503511)); }
  int32_t GetCurrentValue() const { return Call(503512).AsInt(); }
  void SetCurrentValue(int32_t value) const { Call(509024, value); }
};

TAVIX_RECORD(IInstructionOpCode)
  TAVIX_BSDL_OBJECT_CALLS
  std::string GetInstructionName() const { return Call(503513).AsString(); }
  std::string GetOpCodePattern() const { return Call(503514).AsString(); }
};

TAVIX_RECORD(IRegisterAssociation)
  TAVIX_BSDL_OBJECT_CALLS
  std::string GetRegisterName() const { return Call(503515).AsString(); }
  int32_t GetRegisterLength() const { return Call(503516).AsInt(); }
  int32_t GetInstructionOpcodeCount() const { return Call(503517).AsInt(); }
  IInstructionOpCode GetInstructionOpcode(int32_t index) const { return IInstructionOpCode(Call(503518, index)); }
};

#undef TAVIX_BSDL_OBJECT_CALLS

inline IScanPin IBSDLEntity::GetPin(int32_t index) const { return IScanPin(Call(503462, index)); }
inline IPinMapping IBSDLEntity::GetPinMapping(int32_t index) const { return IPinMapping(Call(503463, index)); }
inline IBoundaryCell IBSDLEntity::GetBoundaryCell(int32_t index) const { return IBoundaryCell(Call(503464, index)); }
inline IInstructionOpCode IBSDLEntity::GetInstructionOpcode(int32_t index) const {
  return IInstructionOpCode(Call(503465, index));
}
inline IRegisterAssociation IBSDLEntity::GetRegisterAssociation(int32_t index) const {
  return IRegisterAssociation(Call(503466, index));
}
inline IScanPin IBSDLEntity::GetPin_TDI() const { return IScanPin(Call(503472)); }
inline IScanPin IBSDLEntity::GetPin_TDO() const { return IScanPin(Call(503473)); }
inline IScanPin IBSDLEntity::GetPin_TMS() const { return IScanPin(Call(503474)); }
inline IScanPin IBSDLEntity::GetPin_TCK() const { return IScanPin(Call(503475)); }
inline IScanPin IBSDLEntity::GetPin_TRST() const { return IScanPin(Call(503476)); }
inline IPinMapping IScanPin::GetPinMapping() const { return IPinMapping(Call(503494)); }
inline IBoundaryCell IScanPin::GetBoundaryCell(int32_t index) const { return IBoundaryCell(Call(503496, index)); }

TAVIX_RECORD(IProcessFlow)
};

TAVIX_RECORD(IInstrumentView)
  void Hidden() const { Call(503704); }
};

TAVIX_RECORD(IPercentCallback)
};

TAVIX_RECORD(IClockCoreGenerator)
};

TAVIX_RECORD(IClockCoreTemplateGenerator)
};

TAVIX_RECORD(ITargetCoreGenerator)
};

TAVIX_RECORD(ICustomCoreGenerator)
};

TAVIX_RECORD(IProcessorInformation)
  std::string GetProcessorDeviceName() const { return Call(503890).AsString(); }
};

// A driver as its own flows and routines call it back.
TAVIX_RECORD(IDeviceInformation)
  uint32_t GetIdCode() const { return Call(503379).AsLow32(); }
  std::string GetDeviceName() const { return Call(503380).AsString(); }
  std::string GetFamilyName() const { return Call(503382).AsString(); }
  std::string GetBaseName() const { return Call(503386).AsString(); }
  std::string GetVendorName() const { return Call(503407).AsString(); }
  std::string GetBSDLFilename() const { return Call(503405).AsString(); }
  IBSDLEntity GetBSDLEntity() const { return IBSDLEntity(Call(503406)); }
};

TAVIX_RECORD(ITavixDriver)
  std::string GetDeviceName() const { return Call(503380).AsString(); }
  std::string GetFamilyName() const { return Call(503382).AsString(); }
  std::string GetBaseName() const { return Call(503386).AsString(); }
  std::string GetVendorName() const { return Call(503407).AsString(); }
  bool ResetDevice() const { return Call(503786).AsBool(); }
  int32_t GetDeviceState() const { return Call(503787).AsInt(); }
  int32_t ProgramDevice(const std::string& fileName) const { return Call(503788, fileName).AsInt(); }
  uint32_t ReadUserCode() const { return Call(503789).AsLow32(); }
};

}  // namespace tavix
