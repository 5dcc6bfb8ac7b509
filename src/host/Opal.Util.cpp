#include "host/Opal.Util.h"

#include "host/Opal.Interfaces.h"
#include "platform/Files.h"

namespace tavix {

std::string GetHostFolder() { return ExtractFilePath(ProgramFile()); }

std::string GetSystemFolder() { return GetHostFolder() + "System/"; }

std::string GetModuleFolder() {
  // Any address inside this module names its file.
  return ExtractFilePath(ModuleFileOf(reinterpret_cast<const void*>(&GetModuleFolder)));
}

std::string GetModuleLibraryFolder() { return GetModuleFolder() + "Library/"; }

namespace {
std::string ClientFolder(DISPID id) {
  const IClient client = HostClient();
  if (!client) return {};
  const IClientAPI api = client.GetClientAPI();
  return api ? api.GetFolder(id) : std::string();
}
}  // namespace

std::string GetClientFolder1() { return ClientFolder(770); }
std::string GetClientFolder2() { return ClientFolder(773); }
std::string GetClientFolder3() { return ClientFolder(774); }
std::string GetClientFolder4() { return ClientFolder(787); }

std::string GetToolchainFolder() {
  const std::string system = GetSystemFolder();
  if (FileExists(system + "ToolchainManager.dll")) return system;
  const IClient client = HostClient();
  if (!client) return {};
  const IPluginsRegistry registry = client.GetPluginsRegistry();
  if (!registry) return {};
  const int32_t count = registry.GetCount();
  for (int32_t i = 0; i < count; ++i) {
    const IPluginItem item = registry.GetItem(i);
    if (!item || item.GetDisabled() != 0) continue;
    const std::string folder = IncludeTrailingPathDelimiter(item.GetFolder());
    if (FileExists(folder + "ToolchainManager.dll")) return folder;
  }
  return {};
}

bool IsRelativePath(const std::string& path) {
  // A path is absolute here when it starts at the root; the platform's drive and UNC forms
  // count as absolute too so that names written by its rules keep their meaning.
  if (!path.empty() && path[0] == '/') return false;
  return path.find(':') == std::string::npos && path.rfind("\\\\", 0) != 0;
}

std::string EnsureTrailingChar(const std::string& text, char c) {
  return (!text.empty() && text.back() == c) ? text : text + c;
}

}  // namespace tavix

namespace tavix {
namespace {
int32_t gApplicationHandle = 0;
}
void SetModuleApplicationHandle(int32_t handle) { gApplicationHandle = handle; }
int32_t ModuleApplicationHandle() { return gApplicationHandle; }
}  // namespace tavix
