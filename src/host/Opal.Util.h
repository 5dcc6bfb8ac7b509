// Shared tools of the host integration layer: host folders and file names, the installed
// extensions' folders, message boxes, keyboard state, the status-bar progress, shortcut keys,
// files locked by another user, safe replacement of files, and small text functions.
// The list classes live in Extension.Classes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "host/Extension.Classes.h"
#include "host/Opal.Interfaces.h"
#include "platform/Modules.h"

namespace tavix {

// ---- host folders and names ----
// Folders end in "/"; an absent host service gives an empty folder.
std::string GetHostFolder();           // folder of the host program
std::string GetSystemFolder();         // host folder + "System/"
std::string GetModuleFolder();         // folder of this module's file
std::string GetModuleLibraryFolder();  // module folder + "Library/"
std::string GetClientFolder1();        // client API folders (DISPIDs 770, 773, 774, 787); empty without client
std::string GetClientFolder2();
std::string GetClientFolder3();
std::string GetClientFolder4();
std::string GetEDIFFolder();  // client folder 1 + "EDIF/"; empty without it
// The system temporary folder as the system gives it ($TMPDIR or /tmp, with "/"); the second
// form, with LongName set, resolves it to its full real path, ending in "/".
std::string GetTempFolder();
std::string GetTempFolder(bool LongName);
// A new, empty, uniquely named file "Pro....tmp" in the temporary folder, or empty on failure.
std::string GetTempFileName();
std::string GetToolchainFolder();  // the folder that holds "ToolchainManager.dll", or empty
// System folder + name when that file exists, else the first existing file of that name in an
// enabled extension's folder, else empty.
std::string FindPluginFile(const std::string& name);
// The loaded library of that name, else the one loaded from FindPluginFile, else null.
TModuleHandle LoadPluginModule(const std::string& name);
// Read once and kept.
std::string GetComputerName();
std::string GetUserName();
std::string GetProcessIdText();

// The client's API object (client DISPID 795), asked once per client and kept.
IClientAPI GetClientAPI();

// ---- installed extensions ----
// The enabled items of the host's plug-ins registry (client DISPID 2027) in registry order,
// each as its folder with a trailing "/". Without a client or registry there are none.
// `visit` answers false to stop the walk early.
void ForEachExtensionFolder(const std::function<bool(const std::string& folder)>& visit);
std::vector<std::string> GetExtensionFolders();

// ---- message boxes ----
// A modal box centred on the screen with an OK button; the title defaults to "Warning",
// "Information" or "Error". Answers the modal result.
int32_t ShowWarning(const std::string& text, const std::string& title = {});
int32_t ShowInformation(const std::string& text, const std::string& title = {});
int32_t ShowError(const std::string& text, const std::string& title = {});

// ---- keyboard ----
bool IsShiftDown();
bool IsCtrlDown();
bool IsAltDown();

// ---- text ----
// True when the text has no ":" and starts neither with two backslashes nor with "/".
bool IsRelativePath(const std::string& path);
// Appends the character unless the text already ends with it (an empty text gets it).
std::string EnsureTrailingChar(const std::string& text, char c);
// Blanks appended up to `width`; a longer text is kept whole.
std::string PadRight(const std::string& text, int32_t width);
// Hexadecimal digits after an optional "0x" (any case), as a 32-bit pattern; the default for
// an empty text, any other character or more than 32 bits.
int32_t HexToIntDef(const std::string& text, int32_t defaultValue);

// ---- status-bar progress ----
// Nested progress operations; the top one drives the status bar (GUI manager DISPID 164).
struct TPercentState {
  int64_t CurrentPercentCount = 0;
  int64_t TotalPercentCount = 0;
  int32_t OldPercent = 0;
  bool Marquee = false;
};

// Status codes the host's status bar takes.
enum : int32_t {
  eStatus_Reset = -1,
  eStatus_BeginProgress = -3,
  eStatus_ProgressText = -5,
  eStatus_StepPercent = -7,
  eStatus_EndProgressText = -6,
  eStatus_EndProgress = -4,
};

void ResetStatus();                                         // sends -1
void BeginProgress(const std::string& text, int64_t total);  // sends -3, then -5 with the text
// One more unit done: one -7 for every whole percent gained (rounded half to even, at most 100;
// a total of 0 is 100 at once).
void StepProgress();
void EndProgress();  // sends -6 and -4 and drops the operation
int32_t ProgressDepth();  // nested operations under way

// ---- shortcut keys ----
// Offers the key with the Alt, Shift and Ctrl states to the host (GUI manager DISPID 158) and
// runs it there (156) when the host knows it. True when the key was taken.
bool ProcessShortcut(int32_t key);

// ---- files locked by another user or process ----
struct TFileOwnershipDetails {
  std::string ComputerName;
  std::string UserName;
  std::string ProcessID;
  bool Valid() const { return !ComputerName.empty() && !UserName.empty() && !ProcessID.empty(); }
};

// The lock file of a document: "~$" + file name + "_loc" beside it.
std::string GetLockFileName(const std::string& path);
// Who holds the file, from its lock file; empty details when there is none. Raises EFileError
// when a lock file is there but cannot be read.
TFileOwnershipDetails GetFileOwnershipDetails(const std::string& path);
// True when another computer, user or process holds the file (names compared without regard
// to case), and also when its lock file cannot be read.
bool IsFileLockedByOther(const std::string& path, std::string& computer, std::string& user);

enum : int32_t { eLockReport_Message = 1, eLockReport_Box = 2 };
// Whether the host asks for no reports of locked files (client API DISPID 793), asked once.
bool HostSuppressesLockReports();
// Tells the user that the file is locked: a "[Locked File]" host message (kind 1) or a warning
// box (kind 2). Skipped when the host asks for no such reports (client API DISPID 793).
void ReportLockedFile(const std::string& path, const std::string& computer, const std::string& user, int32_t kind);

// Puts `source` in place of `target`, telling the host's document of the target before (100)
// and after (101). The replacement is one rename: on failure the old target stays whole, the
// source is deleted and the answer is false. A target locked by another is reported and left.
bool ReplaceFileSafely(const std::string& source, const std::string& target);
// Saves the list to `path` between the same document calls; false when the path is locked by
// another. The file is written beside the target and renamed over it; a failed save raises
// EFileError and leaves the old file whole.
bool SaveListSafely(const TStringList& list, const std::string& path);

}  // namespace tavix

namespace tavix {
// The application window handle the module's windows belong to (the host's, once known).
void SetModuleApplicationHandle(int32_t handle);
int32_t ModuleApplicationHandle();
}  // namespace tavix
