#include "plugin/Device_Arria5GZ_Driver.h"

namespace tavix {

TDevice_Arria5GZDriver::TDevice_Arria5GZDriver(int32_t kind) : TDeviceData(kind) { FCoreExt = ".VHD"; }

TDevice_Arria5GZDriver* CreateArria5GZDriver(int32_t kind) {
  if (kind < 0 || kind >= kDeviceKindCount) return nullptr;
  return new TDevice_Arria5GZDriver(kind);
}

}  // namespace tavix
