// The zip component "ZipComponents.DLL": a small shared library in the host's System folder
// through which the module unpacks description archives. The module never links it: it loads
// it by path on each use and takes these exports by name. Text arguments are 8-bit strings,
// Boolean arguments 0 or -1, and every call answers a 32-bit result where 0 means success.
#pragma once

#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define XZ_CALL __stdcall
#else
#define XZ_CALL
#endif

extern "C" {

typedef void* HXCEEDZIP;

// Events reported while unzipping: the event code and the file name it concerns.
enum : int32_t {
  xzEventFileUnzipped = 1,  // a file was written
  xzEventFileSkipped = 2,   // a file was left alone (it existed and existing files are skipped)
  xzEventError = 3,         // something went wrong; the text says what
};
typedef void(XZ_CALL* XceedZipCallback)(HXCEEDZIP zip, int32_t event, const char* text);

// Result codes.
enum : int32_t {
  xzSuccess = 0,
  xzErrorBadHandle = 1,       // no such handle, or an argument missing
  xzErrorOpenArchive = 2,     // the archive cannot be opened or is no zip archive
  xzErrorNothingToDo = 3,     // no entry matches the files to process
  xzErrorWriteFile = 4,       // the target folder or a file in it cannot be written
  xzErrorUnsafeEntry = 5,     // an entry name would leave the target folder: nothing unpacked
  xzErrorReadEntry = 6,       // an entry cannot be read (damaged archive)
  xzErrorEntryTooLarge = 7,   // an entry is larger than the component unpacks
};

typedef int32_t(XZ_CALL* PFN_XceedZipInitDLL)();
typedef int32_t(XZ_CALL* PFN_XceedZipShutdownDLL)();
typedef HXCEEDZIP(XZ_CALL* PFN_XzCreateXceedZipA)(const char* license);
typedef int32_t(XZ_CALL* PFN_XzDestroyXceedZip)(HXCEEDZIP zip);
typedef int32_t(XZ_CALL* PFN_XzSetZipFilenameA)(HXCEEDZIP zip, const char* fileName);
typedef int32_t(XZ_CALL* PFN_XzSetXceedZipCallback)(HXCEEDZIP zip, XceedZipCallback callback);
typedef int32_t(XZ_CALL* PFN_XzSetPreservePaths)(HXCEEDZIP zip, int32_t value);
typedef int32_t(XZ_CALL* PFN_XzSetSkipIfExisting)(HXCEEDZIP zip, int32_t value);
typedef int32_t(XZ_CALL* PFN_XzSetUnzipToFolderA)(HXCEEDZIP zip, const char* folder);
typedef int32_t(XZ_CALL* PFN_XzAddFilesToProcessA)(HXCEEDZIP zip, const char* mask);
typedef int32_t(XZ_CALL* PFN_XzUnzip)(HXCEEDZIP zip);

}  // extern "C"
