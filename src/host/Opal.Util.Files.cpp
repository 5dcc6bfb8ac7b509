// Files locked by another user or process, and replacing files without leaving them half done.
#include "host/Opal.Util.h"
#include "platform/Files.h"

namespace tavix {

std::string GetLockFileName(const std::string& path) {
  return ExtractFilePath(path) + "~$" + ExtractFileName(path) + "_loc";
}

TFileOwnershipDetails GetFileOwnershipDetails(const std::string& path) {
  TFileOwnershipDetails details;
  const std::string lockFile = GetLockFileName(path);
  if (!FileExists(lockFile)) return details;
  TStringList lines;
  lines.LoadFromFile(lockFile);  // raises when it is there but cannot be read
  // "ComputerName=", "UserName=" and "ProcessID=" lines: the value follows the "=".
  for (const std::string& line : lines) {
    if (line.rfind("ComputerName", 0) == 0)
      details.ComputerName = Trim(line.size() > 13 ? line.substr(13) : std::string());
    else if (line.rfind("UserName", 0) == 0)
      details.UserName = Trim(line.size() > 9 ? line.substr(9) : std::string());
    else if (line.rfind("ProcessID", 0) == 0)
      details.ProcessID = Trim(line.size() > 10 ? line.substr(10) : std::string());
  }
  return details;
}

bool IsFileLockedByOther(const std::string& path, std::string& computer, std::string& user) {
  computer.clear();
  user.clear();
  try {
    const TFileOwnershipDetails details = GetFileOwnershipDetails(path);
    if (!details.Valid()) return false;
    computer = details.ComputerName;
    user = details.UserName;
    return !SameText(details.ComputerName, GetComputerName()) || !SameText(details.UserName, GetUserName()) ||
           details.ProcessID != GetProcessIdText();
  } catch (...) {
    // A lock file that cannot be read may well be held: treat the file as locked.
    return true;
  }
}

void ReportLockedFile(const std::string& path, const std::string& computer, const std::string& user, int32_t kind) {
  if (HostSuppressesLockReports()) return;
  const std::string fileName = ExtractFileName(path);
  if (kind == eLockReport_Message) {
    const IClient client = HostClient();
    if (!client) return;
    const IOpalWorkSpace workspace = client.GetOpalWorkSpace();
    const IOpalMessagesManager messages = workspace ? workspace.GetMessagesManager() : IOpalMessagesManager();
    if (!messages) return;
    messages.AddMessage("[Locked File]",
                        fileName + " is used by " + user + " on " + computer +
                            ". You will not be able to save your changes.",
                        client.GetProductName(), path, "WorkspaceManager:OpenObject", "FileName=" + path,
                        /*imageIndex=*/72, /*flag=*/false);
  } else if (kind == eLockReport_Box) {
    ShowWarning(fileName + " is used and locked by " + user + " on " + computer + ".\n" +
                "You will not be able to save your changes.");
  }
}

namespace {

// The host's document for a file, told before (100) and after (101) the file changes on disk.
// The closing call is made on every path out of the bracket.
template <class F>
auto WithDocumentNotified(const std::string& path, F&& body) {
  IDocument document;
  if (const IClient client = HostClient()) document = client.GetDocumentByPath(path);
  if (document) document.BeginFileReplace();
  try {
    auto result = body();
    if (document) document.EndFileReplace();
    return result;
  } catch (...) {
    if (document) document.EndFileReplace();
    throw;
  }
}

bool SameFile(const std::string& a, const std::string& b) {
  return a == b || ExpandFileName(a) == ExpandFileName(b);
}

}  // namespace

bool ReplaceFileSafely(const std::string& source, const std::string& target) {
  if (SameFile(source, target)) return true;
  std::string computer;
  std::string user;
  if (IsFileLockedByOther(target, computer, user)) {
    ReportLockedFile(target, computer, user, eLockReport_Message);
    DeleteFileAt(source);
    return false;
  }
  return WithDocumentNotified(target, [&] {
    // One rename replaces the target: it is never deleted first, so a failed move keeps it.
    if (MoveFileReplacing(source, target)) return true;
    DeleteFileAt(source);
    return false;
  });
}

bool SaveListSafely(const TStringList& list, const std::string& path) {
  std::string computer;
  std::string user;
  if (IsFileLockedByOther(path, computer, user)) {
    ReportLockedFile(path, computer, user, eLockReport_Message);
    return false;
  }
  return WithDocumentNotified(path, [&] {
    list.SaveToFile(path);
    return true;
  });
}

}  // namespace tavix
