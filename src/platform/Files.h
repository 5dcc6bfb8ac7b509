// Files and folders as the module needs them. Paths are this platform's: "/" separators,
// case kept.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace tavix {

// A file that could not be created, written or read where the caller needs it.
class EFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
bool ForceDirectories(const std::string& path);
bool DeleteFileAt(const std::string& path);
bool RenameFile(const std::string& from, const std::string& to);
int64_t FileSize(const std::string& path);  // -1 when it cannot be read

// Reads a whole file; false (and `data` untouched) when it cannot be read completely.
bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& data);
bool ReadFileText(const std::string& path, std::string& text);
// Writes beside the target and renames over it, so a failed write never leaves a
// half-written file under the target's name.
bool WriteFileAtomically(const std::string& path, const void* data, size_t size);
inline bool WriteFileAtomically(const std::string& path, const std::string& text) {
  return WriteFileAtomically(path, text.data(), text.size());
}

// Moves a file onto `to`, replacing what is there in one step: the old target stays whole until
// the new one is complete. Across file systems the data is copied beside the target and renamed
// over it, then the source is deleted. False (target untouched, source kept) on failure.
bool MoveFileReplacing(const std::string& from, const std::string& to);

// Creates a new empty file named prefix + unique part + ext in `folder` and answers its path,
// or empty when none can be created. The file is never one that existed before.
std::string CreateUniqueFile(const std::string& folder, const std::string& prefix, const std::string& ext);

// Path pieces.
std::string ExtractFilePath(const std::string& path);  // folder with trailing separator
std::string ExtractFileName(const std::string& path);
std::string ExtractFileExt(const std::string& path);   // with the dot
std::string ChangeFileExt(const std::string& path, const std::string& ext);
std::string IncludeTrailingPathDelimiter(const std::string& path);
// The absolute form of a path with "." and ".." and symbolic links of its existing part resolved.
std::string ExpandFileName(const std::string& path);

// The folder of the running program and the full path of the shared object holding `address`.
std::string ProgramFile();
std::string ModuleFileOf(const void* address);

}  // namespace tavix
