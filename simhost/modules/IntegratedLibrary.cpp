// IntegratedLibrary.dll: the library and model type managers.
#include "modules/HostModule.h"

using namespace tavix;

TAVIX_HOST_ENTRY LibApi_GetLibraryManager(IDispatch** manager) {
  return sim::GetHostService(sim::HostService::LibraryManager, manager);
}

TAVIX_HOST_ENTRY LibApi_GetModelTypeManager(IDispatch** manager) {
  return sim::GetHostService(sim::HostService::ModelTypeManager, manager);
}
