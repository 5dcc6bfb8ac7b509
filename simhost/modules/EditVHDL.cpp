// EditVHDL.DLL: the VHDL synthesizer.
#include "modules/HostModule.h"

using namespace tavix;

TAVIX_HOST_ENTRY GetEditVHDLSynthesizer(IDispatch** synthesizer) {
  return sim::GetHostService(sim::HostService::EditVHDLSynthesizer, synthesizer);
}
