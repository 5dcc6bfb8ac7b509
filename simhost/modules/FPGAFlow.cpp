// FPGAFlow.DLL: the FPGA workspace.
#include "modules/HostModule.h"

using namespace tavix;

TAVIX_HOST_ENTRY GetTavixWorkspace(IDispatch** workspace) {
  return sim::GetHostService(sim::HostService::TavixWorkspace, workspace);
}
