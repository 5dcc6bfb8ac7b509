// WorkspaceManager.DLL: the project workspace.
#include "modules/HostModule.h"

using namespace tavix;

TAVIX_HOST_ENTRY GetWorkspace(IDispatch** workspace) { return sim::GetHostService(sim::HostService::Workspace, workspace); }
