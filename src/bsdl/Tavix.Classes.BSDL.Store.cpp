// Where boundary-scan description files are found: the library's BSDL tree, a copy in the
// temporary folder, or an archive of the same name unpacked there on demand.
#include "bsdl/Extension.XCeedApi.h"
#include "bsdl/Tavix.Classes.BSDL.h"
#include "host/Opal.Util.h"
#include "platform/Files.h"

namespace tavix {

std::string TBSDLEntity::DetermineFullPath(const std::string& BSDLFileName, const std::string& DeviceVendorName,
                                           const std::string& DeviceFamilyName, const std::string& LibraryFolder) {
  if (!IsRelativePath(BSDLFileName)) return BSDLFileName;
  const std::string base = EnsureTrailingChar(LibraryFolder.empty() ? GetModuleLibraryFolder() : LibraryFolder, '/');
  return base + "BSDL/" + DeviceVendorName + "/" + DeviceFamilyName + "/" + BSDLFileName;
}

std::string TBSDLEntity::FindFullBSDLPath(const std::string& SourcePath) {
  const std::string fileName = ExtractFileName(SourcePath);
  if (fileName.empty()) return {};
  const std::string temporary = IncludeTrailingPathDelimiter(GetTempFolder());
  const std::string cachedCopy = temporary + fileName;
  if (FileExists(SourcePath)) return SourcePath;
  if (FileExists(cachedCopy)) return cachedCopy;
  // The archive is named like the file with the extension ".Zip"; names keep their case here,
  // so the lower-case spelling is tried as well.
  for (const char* extension : {".Zip", ".zip"}) {
    const std::string archive = ChangeFileExt(SourcePath, extension);
    if (!FileExists(archive)) continue;
    if (UnpackBSDLArchive(archive, temporary) && FileExists(cachedCopy)) return cachedCopy;
    return {};
  }
  return {};
}

bool TBSDLEntity::UnpackBSDLArchive(const std::string& ArchivePath, const std::string& TargetFolder) {
  if (!FileExists(ArchivePath)) return false;
  TXCeedZip zip(ArchivePath);
  zip.SetPreservePaths(false);
  zip.SetSkipIfExisting(false);
  zip.SetUnzipToFolder(TargetFolder);
  zip.AddFilesToProcess("*.*");
  return zip.UnZip() == 0;
}

}  // namespace tavix
