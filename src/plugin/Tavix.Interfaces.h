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

TAVIX_RECORD(IBSDLEntity)
};

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
