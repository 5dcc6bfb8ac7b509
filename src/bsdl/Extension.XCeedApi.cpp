#include "bsdl/Extension.XCeedApi.h"

#include <dlfcn.h>

#include "host/Opal.Util.h"

namespace tavix {

namespace {

TXCeedZip* gActiveZip = nullptr;  // the one TXCeedZip the component's events go to

template <class F>
F Export(void* library, const char* name) {
  return reinterpret_cast<F>(dlsym(library, name));
}

}  // namespace

std::string TXCeedZip::DefaultLibraryPath() { return GetSystemFolder() + "ZipComponents.DLL"; }

TXCeedZip::TXCeedZip(const std::string& archivePath, const std::string& libraryPath) {
  gActiveZip = this;
  FLibrary = dlopen(libraryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!FLibrary) return;
  const auto init = Export<PFN_XceedZipInitDLL>(FLibrary, "XceedZipInitDLL");
  const auto create = Export<PFN_XzCreateXceedZipA>(FLibrary, "XzCreateXceedZipA");
  const auto setZipFilename = Export<PFN_XzSetZipFilenameA>(FLibrary, "XzSetZipFilenameA");
  const auto setCallback = Export<PFN_XzSetXceedZipCallback>(FLibrary, "XzSetXceedZipCallback");
  FShutdown = Export<PFN_XceedZipShutdownDLL>(FLibrary, "XceedZipShutdownDLL");
  FDestroy = Export<PFN_XzDestroyXceedZip>(FLibrary, "XzDestroyXceedZip");
  FSetPreservePaths = Export<PFN_XzSetPreservePaths>(FLibrary, "XzSetPreservePaths");
  FSetSkipIfExisting = Export<PFN_XzSetSkipIfExisting>(FLibrary, "XzSetSkipIfExisting");
  FSetUnzipToFolder = Export<PFN_XzSetUnzipToFolderA>(FLibrary, "XzSetUnzipToFolderA");
  FAddFilesToProcess = Export<PFN_XzAddFilesToProcessA>(FLibrary, "XzAddFilesToProcessA");
  FUnzip = Export<PFN_XzUnzip>(FLibrary, "XzUnzip");
  // A component without every export is as good as none.
  if (!init || !create || !setZipFilename || !setCallback || !FShutdown || !FDestroy || !FSetPreservePaths ||
      !FSetSkipIfExisting || !FSetUnzipToFolder || !FAddFilesToProcess || !FUnzip)
    return;
  init();
  FInitialized = true;
  FHandle = create(nullptr);
  if (!FHandle) return;
  setZipFilename(FHandle, archivePath.c_str());
  setCallback(FHandle, &TXCeedZip::Callback);
}

TXCeedZip::~TXCeedZip() {
  if (FInitialized) FShutdown();
  if (FHandle && FDestroy) FDestroy(FHandle);
  if (FLibrary) dlclose(FLibrary);
  if (gActiveZip == this) gActiveZip = nullptr;
}

int32_t TXCeedZip::SetPreservePaths(bool value) {
  return FHandle ? FSetPreservePaths(FHandle, value ? -1 : 0) : kComponentMissing;
}

int32_t TXCeedZip::SetSkipIfExisting(bool value) {
  return FHandle ? FSetSkipIfExisting(FHandle, value ? -1 : 0) : kComponentMissing;
}

int32_t TXCeedZip::SetUnzipToFolder(const std::string& folder) {
  return FHandle ? FSetUnzipToFolder(FHandle, folder.c_str()) : kComponentMissing;
}

int32_t TXCeedZip::AddFilesToProcess(const std::string& mask) {
  return FHandle ? FAddFilesToProcess(FHandle, mask.c_str()) : kComponentMissing;
}

int32_t TXCeedZip::UnZip() { return FHandle ? FUnzip(FHandle) : kComponentMissing; }

void XZ_CALL TXCeedZip::Callback(HXCEEDZIP, int32_t event, const char* text) {
  if (gActiveZip && gActiveZip->OnEvent) {
    try {
      gActiveZip->OnEvent(event, text ? text : "");
    } catch (...) {
      // An event handler never unwinds through the component.
    }
  }
}

}  // namespace tavix
