#include "platform/os/Shell.h"

#include <mutex>
#include <utility>

namespace tavix::os {

namespace {
std::mutex gShellLock;
std::vector<TShellRequest> gShellRequests;
}  // namespace

bool ShellExecute(const std::string& verb, const std::string& target, const std::string& parameters,
                  int32_t showMode) {
  if (target.empty()) return false;
  std::lock_guard<std::mutex> lock(gShellLock);
  gShellRequests.push_back({verb, target, parameters, showMode});
  return true;
}

std::vector<TShellRequest> GetShellRequests() {
  std::lock_guard<std::mutex> lock(gShellLock);
  return gShellRequests;
}

std::vector<TShellRequest> TakeShellRequests() {
  std::lock_guard<std::mutex> lock(gShellLock);
  return std::exchange(gShellRequests, {});
}

}  // namespace tavix::os
