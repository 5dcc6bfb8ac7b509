#include "plugin/Device_Arria5GZ_Driver.h"

#include "jtag/Tavix.Utils.h"

namespace tavix {

TDevice_Arria5GZDriver::TDevice_Arria5GZDriver(int32_t kind) : TDeviceData(kind) { FCoreExt = ".VHD"; }

bool TDevice_Arria5GZDriver::ResetDevice() {
  const IJTagChannel channel = GetChannel();
  const std::string baseName = GetBaseName();
  const int32_t position = GetChainIndex();
  return ResetAlteraDevice(baseName, channel, position);
}

uint8_t TDevice_Arria5GZDriver::GetDeviceState() {
  const IJTagChannel channel = GetChannel();
  const std::string baseName = GetBaseName();
  const int32_t position = GetChainIndex();
  return GetAlteraDeviceState(baseName, channel, position);
}

int32_t TDevice_Arria5GZDriver::ProgramDevice(const std::string& fileName) {
  const int32_t position = GetChainIndex();
  const IJTagChannel channel = GetChannel();
  return ProgramAlteraDevice(OwnDriver(), fileName, channel, position);
}

uint32_t TDevice_Arria5GZDriver::ReadUserCode() {
  const IJTagChannel channel = GetChannel();
  return ReadAlteraUserCode(channel, GetChainIndex());
}

IProcessFlow TDevice_Arria5GZDriver::CreateFlow(int32_t) {
  // The build and download flows are not part of this build: no flow to hand out.
  return {};
}

TDevice_Arria5GZDriver* CreateArria5GZDriver(int32_t kind) {
  if (kind < 0 || kind >= kDeviceKindCount) return nullptr;
  return new TDevice_Arria5GZDriver(kind);
}

}  // namespace tavix
