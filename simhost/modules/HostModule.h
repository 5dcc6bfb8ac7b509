// Shared by the host modules: each is a small shared object named like the host's own module
// (its SONAME is that name), exporting the entry points a plug-in looks up in it. Every entry
// answers from the host installed in the process; S_OK with nothing when there is none.
#pragma once

#include "simhost/SimHost.h"

#define TAVIX_HOST_ENTRY extern "C" __attribute__((visibility("default"))) tavix::HRESULT TAVIX_STDCALL
