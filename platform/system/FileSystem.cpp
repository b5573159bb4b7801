#include "platform/system/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/system/FileErr.h"

namespace hc::system {

namespace {

// The entry names of an open folder; the descriptor stays open.
int ReadNames(int folderFd, std::vector<std::string>& names) {
  const int streamFd = ::dup(folderFd);
  if (streamFd < 0) return LastFileErr();
  DIR* stream = ::fdopendir(streamFd);
  if (!stream) {
    const int err = LastFileErr();
    ::close(streamFd);
    return err;
  }
  ::rewinddir(stream);
  errno = 0;
  while (dirent* entry = ::readdir(stream)) {
    if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
      names.emplace_back(entry->d_name);
    }
    errno = 0;
  }
  const int err = errno ? LastFileErr() : kFileErrNone;
  ::closedir(stream);
  return err;
}

int RemoveAt(int parentFd, const char* name, bool recursive) {
  struct stat info {};
  if (::fstatat(parentFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
    return errno == ENOENT ? kFileErrNone : LastFileErr();
  }
  if (!S_ISDIR(info.st_mode)) {
    if (::unlinkat(parentFd, name, 0) == 0 || errno == ENOENT) return kFileErrNone;
    return LastFileErr();
  }
  if (!recursive) return kFileErrNotAFile;
  const int folderFd = ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (folderFd < 0) return LastFileErr();
  std::vector<std::string> names;
  int firstErr = ReadNames(folderFd, names);
  for (const std::string& child : names) {
    const int err = RemoveAt(folderFd, child.c_str(), true);
    if (err != kFileErrNone && firstErr == kFileErrNone) firstErr = err;
  }
  ::close(folderFd);
  if (::unlinkat(parentFd, name, AT_REMOVEDIR) != 0 && errno != ENOENT && firstErr == kFileErrNone) {
    firstErr = LastFileErr();
  }
  return firstErr;
}

}  // namespace

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

int RemoveFile(const char* path) {
  if (!path || !*path) return kFileErrParam;
  return ::unlink(path) == 0 ? kFileErrNone : LastFileErr();
}

int RemoveItem(const char* path, bool recursive) {
  if (!path || !*path) return kFileErrParam;
  return RemoveAt(AT_FDCWD, path, recursive);
}

int MakeDirectory(const char* path, unsigned mode) {
  if (!path || !*path) return kFileErrParam;
  if (::mkdir(path, static_cast<mode_t>(mode)) == 0) return kFileErrNone;
  if (errno != EEXIST) return LastFileErr();
  struct stat info {};
  if (::stat(path, &info) == 0 && S_ISDIR(info.st_mode)) return kFileErrNone;
  return kFileErrDuplicate;
}

int ListDirectory(const char* path, std::vector<std::string>& names) {
  names.clear();
  if (!path || !*path) return kFileErrParam;
  const int folderFd = ::open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd < 0) return LastFileErr();
  const int err = ReadNames(folderFd, names);
  ::close(folderFd);
  std::sort(names.begin(), names.end());
  return err;
}

int ListDirectoryAt(int folderFd, std::vector<std::string>& names) {
  names.clear();
  const int err = ReadNames(folderFd, names);
  std::sort(names.begin(), names.end());
  return err;
}

bool ItemExists(const char* path) {
  struct stat info {};
  return path && ::lstat(path, &info) == 0;
}

}  // namespace hc::system
