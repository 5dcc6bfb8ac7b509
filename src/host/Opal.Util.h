// Shared tools of the host integration layer: host folders and file names, and the small
// text functions the other units call.
#pragma once

#include <cstdint>
#include <string>

namespace tavix {

// ---- host folders (each with a trailing separator) ----
std::string GetHostFolder();           // folder of the host program
std::string GetSystemFolder();         // host folder + "System/"
std::string GetModuleFolder();         // folder of this module's file
std::string GetModuleLibraryFolder();  // module folder + "Library/"
std::string GetClientFolder1();        // client API folders (DISPIDs 770, 773, 774, 787); empty without client
std::string GetClientFolder2();
std::string GetClientFolder3();
std::string GetClientFolder4();
std::string GetToolchainFolder();  // the folder that holds "ToolchainManager.dll", or empty

// ---- text ----
bool IsRelativePath(const std::string& path);
std::string EnsureTrailingChar(const std::string& text, char c);

}  // namespace tavix

namespace tavix {
// The application window handle the module's windows belong to (the host's, once known).
void SetModuleApplicationHandle(int32_t handle);
int32_t ModuleApplicationHandle();
}  // namespace tavix
