// TavixManager.dll: the device manager and the JTAG ports.
#include "modules/HostModule.h"

using namespace tavix;

TAVIX_HOST_ENTRY GetDeviceManager(IDispatch** manager) {
  return sim::GetHostService(sim::HostService::DeviceManager, manager);
}

TAVIX_HOST_ENTRY GetJTagPortCount(int32_t* count) { return sim::GetHostJTagPortCount(count); }

TAVIX_HOST_ENTRY GetJTagPort(int32_t index, IDispatch** port) { return sim::GetHostJTagPort(index, port); }
