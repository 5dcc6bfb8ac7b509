// The driver the factory builds for each device kind: the Arria V GZ device actions on top of
// the catalog answers.
#pragma once

#include "catalog/Device_Arria5GZ_Data.h"

namespace tavix {

class TDevice_Arria5GZDriver : public TDeviceData {
 public:
  explicit TDevice_Arria5GZDriver(int32_t kind);

  bool ResetDevice() override;
  uint8_t GetDeviceState() override;
  int32_t ProgramDevice(const std::string& fileName) override;
  uint32_t ReadUserCode() override;
  std::string GetDownloadFileExtensions() override { return "RBF"; }
  IProcessFlow CreateFlow(int32_t kind) override;
};

// Builds a new, independent driver for a kind in 0..31; null for any other kind.
TDevice_Arria5GZDriver* CreateArria5GZDriver(int32_t kind);

}  // namespace tavix
