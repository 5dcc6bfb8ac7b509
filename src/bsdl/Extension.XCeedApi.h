// The module's side of the zip component "ZipComponents.DLL": loads it from the host's System
// folder on each use, takes its exports by name and unpacks one archive.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "zip/ZipComponents.h"

namespace tavix {

class TXCeedZip {
 public:
  // The result of every call while the component is missing or incomplete.
  static constexpr int32_t kComponentMissing = -1;

  // Loads the component and prepares a handle for `archivePath`. Only one TXCeedZip is active
  // at a time: the component's events reach it through a single global reference.
  explicit TXCeedZip(const std::string& archivePath, const std::string& libraryPath = DefaultLibraryPath());
  ~TXCeedZip();
  TXCeedZip(const TXCeedZip&) = delete;
  TXCeedZip& operator=(const TXCeedZip&) = delete;

  // The component in the host's System folder.
  static std::string DefaultLibraryPath();

  bool Loaded() const { return FHandle != nullptr; }
  int32_t SetPreservePaths(bool value);
  int32_t SetSkipIfExisting(bool value);
  int32_t SetUnzipToFolder(const std::string& folder);
  int32_t AddFilesToProcess(const std::string& mask);
  int32_t UnZip();  // 0 when every file was unpacked

  // Events of the component (file unpacked, skipped, error) with the file or message text.
  std::function<void(int32_t event, const std::string& text)> OnEvent;

 private:
  static void XZ_CALL Callback(HXCEEDZIP zip, int32_t event, const char* text);

  void* FLibrary = nullptr;
  bool FInitialized = false;
  HXCEEDZIP FHandle = nullptr;
  PFN_XceedZipShutdownDLL FShutdown = nullptr;
  PFN_XzDestroyXceedZip FDestroy = nullptr;
  PFN_XzSetPreservePaths FSetPreservePaths = nullptr;
  PFN_XzSetSkipIfExisting FSetSkipIfExisting = nullptr;
  PFN_XzSetUnzipToFolderA FSetUnzipToFolder = nullptr;
  PFN_XzAddFilesToProcessA FAddFilesToProcess = nullptr;
  PFN_XzUnzip FUnzip = nullptr;
};

}  // namespace tavix
