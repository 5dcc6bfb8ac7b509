// Shell requests ("open" a help address, a document, a folder). There is no desktop shell here:
// each request is recorded and the host reads the requests back to act on them or show them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/os/TavixOS.h"

namespace tavix::os {

// Show modes of the window the shell would open.
enum : int32_t { SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_SHOWMINIMIZED = 2, SW_SHOWMAXIMIZED = 3 };

struct TShellRequest {
  std::string Verb;        // "open"
  std::string Target;      // file, folder or address
  std::string Parameters;  // for a program target
  int32_t ShowMode = SW_SHOWNORMAL;
};

// Records the request; false (nothing recorded) for an empty target.
TAVIX_OS_API bool ShellExecute(const std::string& verb, const std::string& target, const std::string& parameters,
                               int32_t showMode);
// The requests recorded so far, oldest first; Take also forgets them.
TAVIX_OS_API std::vector<TShellRequest> GetShellRequests();
TAVIX_OS_API std::vector<TShellRequest> TakeShellRequests();

}  // namespace tavix::os
