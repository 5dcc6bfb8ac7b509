#include "host/Opal.Util.h"

#include <optional>

#include "platform/Files.h"
#include "platform/os/Keyboard.h"
#include "platform/os/MessageBox.h"
#include "platform/os/System.h"

namespace tavix {

// ---- host folders and names -------------------------------------------------------------------

std::string GetHostFolder() { return ExtractFilePath(ProgramFile()); }

std::string GetSystemFolder() { return GetHostFolder() + "System/"; }

std::string GetModuleFolder() {
  // Any address inside this module names its file.
  return ExtractFilePath(ModuleFileOf(reinterpret_cast<const void*>(&GetModuleFolder)));
}

std::string GetModuleLibraryFolder() { return GetModuleFolder() + "Library/"; }

namespace {

// What is asked of a client once and kept. Kept per client: when the host hands out another
// client object, the answers are asked again. Never destroyed, so no host reference is
// released while the process shuts down.
struct TClientCache {
  ComPtr<IDispatch> Client;
  IClientAPI API;
  std::optional<bool> NoLockReports;
};

TClientCache& ClientCache(const IClient& client) {
  static auto* cache = new TClientCache;
  if (!(cache->Client == client.Ref())) *cache = TClientCache{client.Ref(), {}, {}};
  return *cache;
}

std::string ClientFolder(DISPID id) {
  const IClientAPI api = GetClientAPI();
  return api ? api.GetFolder(id) : std::string();
}

}  // namespace

IClientAPI GetClientAPI() {
  const IClient client = HostClient();
  if (!client) return {};
  TClientCache& cache = ClientCache(client);
  if (!cache.API) cache.API = client.GetClientAPI();
  return cache.API;
}

// Whether the host wants no reports of locked files (client API DISPID 793), asked once.
bool HostSuppressesLockReports() {
  const IClient client = HostClient();
  if (!client) return false;
  const IClientAPI api = GetClientAPI();
  if (!api) return false;
  TClientCache& cache = ClientCache(client);
  if (!cache.NoLockReports) cache.NoLockReports = api.Query(793);
  return *cache.NoLockReports;
}

std::string GetClientFolder1() { return ClientFolder(770); }
std::string GetClientFolder2() { return ClientFolder(773); }
std::string GetClientFolder3() { return ClientFolder(774); }
std::string GetClientFolder4() { return ClientFolder(787); }

std::string GetEDIFFolder() {
  const std::string folder = GetClientFolder1();
  return folder.empty() ? std::string() : IncludeTrailingPathDelimiter(folder) + "EDIF/";
}

std::string GetTempFolder() { return os::GetTempPath(); }

std::string GetTempFolder(bool LongName) {
  const std::string folder = GetTempFolder();
  return LongName ? IncludeTrailingPathDelimiter(ExpandFileName(folder)) : folder;
}

std::string GetTempFileName() { return CreateUniqueFile(GetTempFolder(), "Pro", ".tmp"); }

void ForEachExtensionFolder(const std::function<bool(const std::string& folder)>& visit) {
  const IClient client = HostClient();
  if (!client) return;
  const IPluginsRegistry registry = client.GetPluginsRegistry();
  if (!registry) return;
  const int32_t count = registry.GetCount();
  for (int32_t i = 0; i < count; ++i) {
    const IPluginItem item = registry.GetItem(i);
    if (!item || item.GetDisabled() != 0) continue;
    if (!visit(IncludeTrailingPathDelimiter(item.GetFolder()))) return;
  }
}

std::vector<std::string> GetExtensionFolders() {
  std::vector<std::string> folders;
  ForEachExtensionFolder([&](const std::string& folder) {
    folders.push_back(folder);
    return true;
  });
  return folders;
}

namespace {
// The first enabled extension folder holding the file, or empty.
std::string FindInExtensions(const std::string& name) {
  std::string found;
  ForEachExtensionFolder([&](const std::string& folder) {
    if (FileExists(folder + name)) found = folder + name;
    return found.empty();
  });
  return found;
}
}  // namespace

std::string GetToolchainFolder() {
  const std::string system = GetSystemFolder();
  if (FileExists(system + "ToolchainManager.dll")) return system;
  return ExtractFilePath(FindInExtensions("ToolchainManager.dll"));
}

std::string FindPluginFile(const std::string& name) {
  if (name.empty()) return {};
  const std::string system = GetSystemFolder() + name;
  if (FileExists(system)) return system;
  return FindInExtensions(name);
}

TModuleHandle LoadPluginModule(const std::string& name) {
  if (TModuleHandle loaded = GetLoadedModule(name)) return loaded;
  const std::string file = FindPluginFile(name);
  return file.empty() ? nullptr : LoadModule(file);
}

std::string GetComputerName() {
  static const std::string name = os::GetComputerName();
  return name;
}

std::string GetUserName() {
  static const std::string name = os::GetUserName();
  return name;
}

std::string GetProcessIdText() {
  static const std::string id = std::to_string(os::GetCurrentProcessId());
  return id;
}

// ---- message boxes ------------------------------------------------------------------------------

namespace {
int32_t ShowBox(const std::string& text, const std::string& title, const char* defaultTitle, uint32_t kind) {
  return os::MessageBox(0, text, title.empty() ? defaultTitle : title, os::MB_OK | kind);
}
}  // namespace

int32_t ShowWarning(const std::string& text, const std::string& title) {
  return ShowBox(text, title, "Warning", os::MB_ICONWARNING);
}

int32_t ShowInformation(const std::string& text, const std::string& title) {
  return ShowBox(text, title, "Information", os::MB_ICONINFORMATION);
}

int32_t ShowError(const std::string& text, const std::string& title) {
  return ShowBox(text, title, "Error", os::MB_ICONERROR);
}

// ---- keyboard -----------------------------------------------------------------------------------

bool IsShiftDown() { return os::GetKeyState(os::VK_SHIFT) < 0; }
bool IsCtrlDown() { return os::GetKeyState(os::VK_CONTROL) < 0; }
bool IsAltDown() { return os::GetKeyState(os::VK_MENU) < 0; }

// ---- text ---------------------------------------------------------------------------------------

bool IsRelativePath(const std::string& path) {
  // A path is absolute here when it starts at the root; the platform's drive and UNC forms
  // count as absolute too so that names written by its rules keep their meaning.
  if (!path.empty() && path[0] == '/') return false;
  return path.find(':') == std::string::npos && path.rfind("\\\\", 0) != 0;
}

std::string EnsureTrailingChar(const std::string& text, char c) {
  return (!text.empty() && text.back() == c) ? text : text + c;
}

std::string PadRight(const std::string& text, int32_t width) {
  if (width <= 0 || text.size() >= static_cast<size_t>(width)) return text;
  return text + std::string(static_cast<size_t>(width) - text.size(), ' ');
}

int32_t HexToIntDef(const std::string& text, int32_t defaultValue) {
  std::string_view digits(text);
  if (digits.size() >= 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) digits.remove_prefix(2);
  if (digits.empty()) return defaultValue;
  uint64_t value = 0;
  for (const char c : digits) {
    int digit;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else
      return defaultValue;
    value = value * 16 + static_cast<uint64_t>(digit);
    if (value > 0xFFFFFFFFull) return defaultValue;
  }
  return static_cast<int32_t>(static_cast<uint32_t>(value));
}

}  // namespace tavix

namespace tavix {
namespace {
int32_t gApplicationHandle = 0;
}
void SetModuleApplicationHandle(int32_t handle) { gApplicationHandle = handle; }
int32_t ModuleApplicationHandle() { return gApplicationHandle; }
}  // namespace tavix
