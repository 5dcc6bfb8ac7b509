// The operating-system stand-in's API. One copy of this library serves the whole process (host
// and module alike), so window handles, the message queue, keyboard state and the other
// services below mean the same thing on both sides of the plug-in boundary.
#pragma once

#if defined(TAVIX_OS_BUILD)
#define TAVIX_OS_API __attribute__((visibility("default")))
#else
#define TAVIX_OS_API
#endif
