// The module's two exports. Nothing else is visible outside the shared object, and no C++
// exception ever leaves it.
#include "plugin/Device_Arria5GZ_Driver.h"

using tavix::HRESULT;
using tavix::IDispatch;

extern "C" {

__attribute__((visibility("default"))) HRESULT TAVIX_STDCALL GetTavixDriver_Plugin(int32_t kind, IDispatch** driver) {
  if (!driver) return tavix::E_POINTER;
  *driver = nullptr;
  return tavix::GuardedCall([&] {
    // Drivers are not reference counted: the host keeps the pointer for the life of the process.
    tavix::RunOperation([&] {
      if (tavix::TDevice_Arria5GZDriver* created = tavix::CreateArria5GZDriver(kind)) *driver = created->AsDispatch();
    });
    return tavix::S_OK;
  });
}

__attribute__((visibility("default"))) HRESULT TAVIX_STDCALL GetTavixDriverCount(int32_t* count) {
  if (!count) return tavix::E_POINTER;
  *count = tavix::kDeviceKindCount;
  return tavix::S_OK;
}

}  // extern "C"
