#include "platform/Files.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

namespace tavix {

namespace fs = std::filesystem;

bool FileExists(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ForceDirectories(const std::string& path) {
  std::error_code ec;
  fs::create_directories(path, ec);
  return DirectoryExists(path);
}

bool DeleteFileAt(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool RenameFile(const std::string& from, const std::string& to) { return ::rename(from.c_str(), to.c_str()) == 0; }

int64_t FileSize(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return static_cast<int64_t>(st.st_size);
}

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& data) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0) return false;
  in.seekg(0, std::ios::beg);
  std::vector<uint8_t> buffer(static_cast<size_t>(size));
  if (size > 0 && !in.read(reinterpret_cast<char*>(buffer.data()), size)) return false;
  data.swap(buffer);
  return true;
}

bool ReadFileText(const std::string& path, std::string& text) {
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(path, bytes)) return false;
  text.assign(bytes.begin(), bytes.end());
  return true;
}

bool WriteFileAtomically(const std::string& path, const void* data, size_t size) {
  std::random_device rd;
  const std::string temp = path + ".tmp" + std::to_string(rd() % 1000000);
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return false;
  const auto* p = static_cast<const char*>(data);
  size_t left = size;
  bool ok = true;
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n <= 0) {
      ok = false;
      break;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  ok = ::fsync(fd) == 0 && ok;
  ok = ::close(fd) == 0 && ok;
  if (ok) ok = ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

bool MoveFileReplacing(const std::string& from, const std::string& to) {
  if (!FileExists(from)) return false;
  if (::rename(from.c_str(), to.c_str()) == 0) return true;
  if (errno != EXDEV) return false;
  std::vector<uint8_t> data;
  if (!ReadFileBytes(from, data) || !WriteFileAtomically(to, data.data(), data.size())) return false;
  ::unlink(from.c_str());
  return true;
}

std::string CreateUniqueFile(const std::string& folder, const std::string& prefix, const std::string& ext) {
  if (folder.empty()) return {};
  std::string name = IncludeTrailingPathDelimiter(folder) + prefix + "XXXXXX" + ext;
  const int fd = ::mkstemps(name.data(), static_cast<int>(ext.size()));
  if (fd < 0) return {};
  ::close(fd);
  return name;
}

std::string ExtractFilePath(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string ExtractFileName(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExtractFileExt(const std::string& path) {
  const std::string name = ExtractFileName(path);
  const size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
  const std::string name = ExtractFileName(path);
  const size_t dot = name.find_last_of('.');
  const std::string stem = dot == std::string::npos ? path : path.substr(0, path.size() - (name.size() - dot));
  return stem + ext;
}

std::string IncludeTrailingPathDelimiter(const std::string& path) {
  return (!path.empty() && path.back() == '/') ? path : path + '/';
}

std::string ExpandFileName(const std::string& path) {
  if (path.empty()) return {};
  std::error_code ec;
  const fs::path full = fs::weakly_canonical(fs::absolute(fs::path(path), ec), ec);
  if (ec) return path;
  std::string result = full.string();
  // Keep a trailing separator the caller gave: it says the path names a folder.
  if (path.back() == '/' && (result.empty() || result.back() != '/')) result += '/';
  return result;
}

std::string ProgramFile() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.string();
}

std::string ModuleFileOf(const void* address) {
  Dl_info info{};
  if (!dladdr(address, &info) || !info.dli_fname) return {};
  std::error_code ec;
  const fs::path full = fs::weakly_canonical(fs::path(info.dli_fname), ec);
  return ec ? std::string(info.dli_fname) : full.string();
}

}  // namespace tavix
