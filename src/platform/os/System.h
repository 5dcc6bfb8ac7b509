// Process-wide system values: the temporary folder, the tick count, yielding the processor,
// and the names this process runs under.
#pragma once

#include <cstdint>
#include <string>

#include "platform/os/TavixOS.h"

namespace tavix::os {

// The system temporary folder with a trailing "/": $TMPDIR when set, else "/tmp/".
TAVIX_OS_API std::string GetTempPath();

// Milliseconds since an arbitrary start, from a steady clock; wraps after 49.7 days like the
// platform's tick count, so compare differences, not values.
TAVIX_OS_API uint32_t GetTickCount();

// Suspends the thread; 0 only yields the rest of its time slice.
TAVIX_OS_API void Sleep(uint32_t milliseconds);

// The machine's host name, the user's login name and this process's id.
TAVIX_OS_API std::string GetComputerName();
TAVIX_OS_API std::string GetUserName();
TAVIX_OS_API uint32_t GetCurrentProcessId();

}  // namespace tavix::os
