// The zip component over libzip. Unpacking checks every entry name before it writes anything:
// an archive with an entry that would land outside the target folder (an absolute name, a
// ".." step, a name that is only "." or "..") is refused as a whole. Each file is written
// beside its target and renamed over it, so a failed unpack never leaves a half-written file
// under a real name, and a link planted under the target name is replaced, not followed.
#include "ZipComponents.h"

#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <cerrno>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#define XZ_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// Larger entries are refused: description archives hold text files of a few megabytes at most.
constexpr zip_uint64_t kMaxEntrySize = 256ull << 20;

struct TZipJob {
  std::string ZipFile;
  std::string Folder;
  bool PreservePaths = true;
  bool SkipIfExisting = false;
  std::vector<std::string> Masks;
  XceedZipCallback Callback = nullptr;
};

std::mutex gLock;
std::set<TZipJob*> gJobs;  // the handles handed out and not yet destroyed

TZipJob* Job(HXCEEDZIP zip) {
  std::lock_guard<std::mutex> guard(gLock);
  auto* job = static_cast<TZipJob*>(zip);
  return gJobs.count(job) ? job : nullptr;
}

void Report(const TZipJob& job, int32_t event, const std::string& text) {
  if (job.Callback) job.Callback(const_cast<TZipJob*>(&job), event, text.c_str());
}

bool MatchesMask(const TZipJob& job, const std::string& fileName) {
  if (job.Masks.empty()) return true;
  for (const std::string& mask : job.Masks) {
    // "*.*" means every file, also one without an extension.
    if (mask == "*.*" || mask == "*" || fnmatch(mask.c_str(), fileName.c_str(), 0) == 0) return true;
  }
  return false;
}

std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : path) {
    if (c == '/' || c == '\\') {
      parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  parts.push_back(part);
  return parts;
}

// The path of an entry below the target folder, or empty when the entry would leave it.
std::string SafeRelativePath(const std::string& entryName, bool preservePaths) {
  const std::vector<std::string> parts = SplitPath(entryName);
  if (!preservePaths) {
    const std::string& name = parts.back();
    return (name.empty() || name == "." || name == "..") ? std::string() : name;
  }
  if (entryName.empty() || entryName[0] == '/' || entryName[0] == '\\') return {};
  if (entryName.size() >= 2 && entryName[1] == ':') return {};  // a drive name
  std::string result;
  for (const std::string& part : parts) {
    if (part.empty() || part == ".") continue;
    if (part == "..") return {};
    result += result.empty() ? part : "/" + part;
  }
  return result;
}

bool IsDirectory(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ForceFolder(const std::string& folder) {
  if (folder.empty()) return false;
  for (size_t at = folder.find('/', 1);; at = folder.find('/', at + 1)) {
    const std::string prefix = at == std::string::npos ? folder : folder.substr(0, at);
    if (!IsDirectory(prefix) && ::mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST) return false;
    if (at == std::string::npos) break;
  }
  return IsDirectory(folder);
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

bool PathExists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

// Writes one entry beside `target`, then renames it over the target.
int32_t WriteEntry(zip_t* archive, zip_uint64_t index, const std::string& target) {
  std::string temp = FolderOf(target) + "/.xz_unpack_XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return xzErrorWriteFile;
  int32_t rc = xzSuccess;
  zip_file_t* file = zip_fopen_index(archive, index, 0);
  if (!file) rc = xzErrorReadEntry;
  zip_uint64_t total = 0;
  char buffer[64 * 1024];
  while (rc == xzSuccess) {
    const zip_int64_t n = zip_fread(file, buffer, sizeof buffer);
    if (n < 0) {
      rc = xzErrorReadEntry;
      break;
    }
    if (n == 0) break;
    total += static_cast<zip_uint64_t>(n);
    if (total > kMaxEntrySize) {
      rc = xzErrorEntryTooLarge;
      break;
    }
    const char* p = buffer;
    zip_int64_t left = n;
    while (left > 0) {
      const ssize_t written = ::write(fd, p, static_cast<size_t>(left));
      if (written <= 0) {
        rc = xzErrorWriteFile;
        break;
      }
      p += written;
      left -= written;
    }
  }
  if (file && zip_fclose(file) != 0 && rc == xzSuccess) rc = xzErrorReadEntry;
  if (::fchmod(fd, 0644) != 0 && rc == xzSuccess) rc = xzErrorWriteFile;
  if (::close(fd) != 0 && rc == xzSuccess) rc = xzErrorWriteFile;
  if (rc == xzSuccess && ::rename(temp.c_str(), target.c_str()) != 0) rc = xzErrorWriteFile;
  if (rc != xzSuccess) ::unlink(temp.c_str());
  return rc;
}

struct TPlannedEntry {
  zip_uint64_t Index;
  std::string RelativePath;
};

int32_t Unzip(const TZipJob& job) {
  if (job.ZipFile.empty() || job.Folder.empty()) return xzErrorBadHandle;
  int error = 0;
  std::unique_ptr<zip_t, void (*)(zip_t*)> archive(zip_open(job.ZipFile.c_str(), ZIP_RDONLY, &error), zip_discard);
  if (!archive) {
    Report(job, xzEventError, "cannot open " + job.ZipFile);
    return xzErrorOpenArchive;
  }

  // Plan first: nothing is written unless every entry is safe.
  std::vector<TPlannedEntry> plan;
  const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(archive.get(), static_cast<zip_uint64_t>(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME))
      return xzErrorReadEntry;
    const std::string name = st.name;
    if (!name.empty() && (name.back() == '/' || name.back() == '\\')) continue;  // a folder entry
    const std::string relative = SafeRelativePath(name, job.PreservePaths);
    if (relative.empty()) {
      Report(job, xzEventError, "unsafe entry name refused: " + name);
      return xzErrorUnsafeEntry;
    }
    if ((st.valid & ZIP_STAT_SIZE) && st.size > kMaxEntrySize) {
      Report(job, xzEventError, "entry too large: " + name);
      return xzErrorEntryTooLarge;
    }
    if (!MatchesMask(job, SplitPath(relative).back())) continue;
    plan.push_back({static_cast<zip_uint64_t>(i), relative});
  }
  if (plan.empty()) return xzErrorNothingToDo;

  const std::string folder = job.Folder.back() == '/' ? job.Folder.substr(0, job.Folder.size() - 1) : job.Folder;
  if (!ForceFolder(folder.empty() ? "/" : folder)) return xzErrorWriteFile;
  for (const TPlannedEntry& entry : plan) {
    const std::string target = folder + "/" + entry.RelativePath;
    if (job.PreservePaths && !ForceFolder(FolderOf(target))) return xzErrorWriteFile;
    if (job.SkipIfExisting && PathExists(target)) {
      Report(job, xzEventFileSkipped, target);
      continue;
    }
    const int32_t rc = WriteEntry(archive.get(), entry.Index, target);
    if (rc != xzSuccess) {
      Report(job, xzEventError, "cannot unpack " + entry.RelativePath);
      return rc;
    }
    Report(job, xzEventFileUnzipped, target);
  }
  return xzSuccess;
}

template <class F>
int32_t WithJob(HXCEEDZIP zip, F&& body) {
  TZipJob* job = Job(zip);
  if (!job) return xzErrorBadHandle;
  try {
    return body(*job);
  } catch (...) {
    return xzErrorBadHandle;
  }
}

}  // namespace

XZ_EXPORT int32_t XZ_CALL XceedZipInitDLL() { return xzSuccess; }

XZ_EXPORT int32_t XZ_CALL XceedZipShutdownDLL() { return xzSuccess; }

XZ_EXPORT HXCEEDZIP XZ_CALL XzCreateXceedZipA(const char*) {
  try {
    auto* job = new TZipJob;
    std::lock_guard<std::mutex> guard(gLock);
    gJobs.insert(job);
    return job;
  } catch (...) {
    return nullptr;
  }
}

XZ_EXPORT int32_t XZ_CALL XzDestroyXceedZip(HXCEEDZIP zip) {
  std::lock_guard<std::mutex> guard(gLock);
  auto* job = static_cast<TZipJob*>(zip);
  if (!gJobs.erase(job)) return xzErrorBadHandle;
  delete job;
  return xzSuccess;
}

XZ_EXPORT int32_t XZ_CALL XzSetZipFilenameA(HXCEEDZIP zip, const char* fileName) {
  return WithJob(zip, [&](TZipJob& job) {
    job.ZipFile = fileName ? fileName : "";
    return xzSuccess;
  });
}

XZ_EXPORT int32_t XZ_CALL XzSetXceedZipCallback(HXCEEDZIP zip, XceedZipCallback callback) {
  return WithJob(zip, [&](TZipJob& job) {
    job.Callback = callback;
    return xzSuccess;
  });
}

XZ_EXPORT int32_t XZ_CALL XzSetPreservePaths(HXCEEDZIP zip, int32_t value) {
  return WithJob(zip, [&](TZipJob& job) {
    job.PreservePaths = value != 0;
    return xzSuccess;
  });
}

XZ_EXPORT int32_t XZ_CALL XzSetSkipIfExisting(HXCEEDZIP zip, int32_t value) {
  return WithJob(zip, [&](TZipJob& job) {
    job.SkipIfExisting = value != 0;
    return xzSuccess;
  });
}

XZ_EXPORT int32_t XZ_CALL XzSetUnzipToFolderA(HXCEEDZIP zip, const char* folder) {
  return WithJob(zip, [&](TZipJob& job) {
    job.Folder = folder ? folder : "";
    return xzSuccess;
  });
}

XZ_EXPORT int32_t XZ_CALL XzAddFilesToProcessA(HXCEEDZIP zip, const char* mask) {
  return WithJob(zip, [&](TZipJob& job) {
    if (mask && *mask) job.Masks.emplace_back(mask);
    return xzSuccess;
  });
}

XZ_EXPORT int32_t XZ_CALL XzUnzip(HXCEEDZIP zip) {
  return WithJob(zip, [&](TZipJob& job) { return Unzip(job); });
}
