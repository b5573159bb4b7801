#include "installer/Source/FileOperations.h"

#include "installer/Source/PathRules.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

namespace hc::installer {

namespace {

// Deepest folder nesting that removal and copying walk into.
constexpr int kMaxDepth = 256;

int lastError() { return errno ? errno : EIO; }

int openDirectoryAt(int parent, const std::string& name, UniqueFd& folder) {
  struct stat info;
  if (::fstatat(parent, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return lastError();
  if (S_ISLNK(info.st_mode)) return ELOOP;
  if (!S_ISDIR(info.st_mode)) return ENOTDIR;
  const int fd = ::openat(parent, name.c_str(),
                          O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return lastError();
  folder.reset(fd);
  return 0;
}

// The names in an open folder, without "." and "..".
int listFolder(int folder, std::vector<std::string>& names) {
  const int copy = ::fcntl(folder, F_DUPFD_CLOEXEC, 0);
  if (copy < 0) return lastError();
  DIR* stream = ::fdopendir(copy);
  if (!stream) {
    const int error = lastError();
    ::close(copy);
    return error;
  }
  ::rewinddir(stream);
  errno = 0;
  while (const dirent* entry = ::readdir(stream)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
    errno = 0;
  }
  const int error = errno;
  ::closedir(stream);
  return error;
}

int removeAt(int parent, const std::string& name, int depth) {
  struct stat info;
  if (::fstatat(parent, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
    return errno == ENOENT ? 0 : lastError();
  }
  if (!S_ISDIR(info.st_mode)) {
    return ::unlinkat(parent, name.c_str(), 0) == 0 ? 0 : lastError();
  }
  if (depth > kMaxDepth) return ENAMETOOLONG;
  UniqueFd folder;
  if (int error = openDirectoryAt(parent, name, folder)) return error;
  // A folder that is going anyway may lose a read-only mode first, so that
  // its contents can be listed and removed.
  if ((info.st_mode & S_IRWXU) != S_IRWXU) ::fchmod(folder.get(), (info.st_mode & 07777) | S_IRWXU);
  std::vector<std::string> names;
  if (int error = listFolder(folder.get(), names)) return error;
  for (const std::string& child : names) {
    if (int error = removeAt(folder.get(), child, depth + 1)) return error;
  }
  return ::unlinkat(parent, name.c_str(), AT_REMOVEDIR) == 0 ? 0 : lastError();
}

int writeAll(int fd, const char* bytes, std::size_t count) {
  while (count > 0) {
    const ssize_t written = ::write(fd, bytes, count);
    if (written < 0) {
      if (errno == EINTR) continue;
      return lastError();
    }
    bytes += written;
    count -= static_cast<std::size_t>(written);
  }
  return 0;
}

// Gives an item the owner (where allowed), mode and times of info.
int applyAttributes(int fd, const struct stat& info) {
  if (::fchown(fd, info.st_uid, info.st_gid) != 0 && errno != EPERM) return lastError();
  if (::fchmod(fd, info.st_mode & 07777) != 0) return lastError();
  const timespec times[2] = {info.st_atim, info.st_mtim};
  return ::futimens(fd, times) == 0 ? 0 : lastError();
}

int copyRegularAt(int sourceFolder, int targetFolder, const std::string& name,
                  const struct stat& info) {
  UniqueFd source(::openat(sourceFolder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  if (!source.valid()) return lastError();
  UniqueFd target(::openat(targetFolder, name.c_str(),
                           O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!target.valid()) return lastError();
  if (int error = FileOperations::copyData(source.get(), target.get())) return error;
  return applyAttributes(target.get(), info);
}

int copyLinkAt(int sourceFolder, int targetFolder, const std::string& name,
               const struct stat& info) {
  std::vector<char> target(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 0) + 4096);
  const ssize_t length = ::readlinkat(sourceFolder, name.c_str(), target.data(), target.size());
  if (length < 0) return lastError();
  if (static_cast<std::size_t>(length) >= target.size()) return ENAMETOOLONG;
  target[static_cast<std::size_t>(length)] = '\0';
  if (::symlinkat(target.data(), targetFolder, name.c_str()) != 0) return lastError();
  if (::fchownat(targetFolder, name.c_str(), info.st_uid, info.st_gid, AT_SYMLINK_NOFOLLOW) != 0 &&
      errno != EPERM) {
    return lastError();
  }
  const timespec times[2] = {info.st_atim, info.st_mtim};
  ::utimensat(targetFolder, name.c_str(), times, AT_SYMLINK_NOFOLLOW);
  return 0;
}

// A socket, FIFO or device node: the same file under the copy's name where
// the system allows a hard link, else a new FIFO or device node like it. A
// socket cannot be made anew (it belongs to the program listening on it),
// so one that cannot be linked is left out.
int copySpecialAt(int sourceFolder, int targetFolder, const std::string& name,
                  const struct stat& info) {
  if (::linkat(sourceFolder, name.c_str(), targetFolder, name.c_str(), 0) == 0) return 0;
  if (S_ISSOCK(info.st_mode)) return 0;
  if (S_ISFIFO(info.st_mode)) {
    if (::mkfifoat(targetFolder, name.c_str(), info.st_mode & 07777) != 0) return lastError();
  } else if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) {
    if (::mknodat(targetFolder, name.c_str(), info.st_mode, info.st_rdev) != 0) {
      return 0;  // no right to make device nodes: left out rather than failing every update
    }
  } else {
    return ENOTSUP;
  }
  if (::fchownat(targetFolder, name.c_str(), info.st_uid, info.st_gid, AT_SYMLINK_NOFOLLOW) != 0 &&
      errno != EPERM) {
    return lastError();
  }
  return ::fchmodat(targetFolder, name.c_str(), info.st_mode & 07777, 0) == 0 ? 0 : lastError();
}

int copyFolderContents(int sourceFolder, int targetFolder, int depth);

int copyEntryAt(int sourceFolder, int targetFolder, const std::string& name, int depth) {
  struct stat info;
  if (::fstatat(sourceFolder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return lastError();
  if (S_ISREG(info.st_mode)) return copyRegularAt(sourceFolder, targetFolder, name, info);
  if (S_ISLNK(info.st_mode)) return copyLinkAt(sourceFolder, targetFolder, name, info);
  if (!S_ISDIR(info.st_mode)) return copySpecialAt(sourceFolder, targetFolder, name, info);
  if (depth > kMaxDepth) return ENAMETOOLONG;
  if (::mkdirat(targetFolder, name.c_str(), 0700) != 0) return lastError();
  UniqueFd source, target;
  if (int error = openDirectoryAt(sourceFolder, name, source)) return error;
  if (int error = openDirectoryAt(targetFolder, name, target)) return error;
  if (int error = copyFolderContents(source.get(), target.get(), depth + 1)) return error;
  return applyAttributes(target.get(), info);
}

int copyFolderContents(int sourceFolder, int targetFolder, int depth) {
  std::vector<std::string> names;
  if (int error = listFolder(sourceFolder, names)) return error;
  for (const std::string& name : names) {
    if (int error = copyEntryAt(sourceFolder, targetFolder, name, depth)) return error;
  }
  return 0;
}

// Opens the parent folder of an absolute path and names its last component.
int openAbsoluteParent(const std::string& path, UniqueFd& parent, std::string& leaf) {
  leaf = PathRules::lastPathComponent(path);
  if (leaf.empty() || leaf == "/" || leaf == "." || leaf == "..") return EINVAL;
  std::string folder = PathRules::deletingLastPathComponent(path);
  if (folder.empty()) folder = ".";
  return FileOperations::openRoot(folder, parent);
}

}  // namespace

int FileOperations::openRoot(const std::string& root, UniqueFd& folder) {
  const int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return lastError();
  folder.reset(fd);
  return 0;
}

int FileOperations::openParent(int rootFd, std::string_view relative, bool createParents,
                               UniqueFd& parent, std::string& leaf) {
  auto components = PathRules::containedComponents(relative);
  if (!components) return EXDEV;
  UniqueFd current(::fcntl(rootFd, F_DUPFD_CLOEXEC, 0));
  if (!current.valid()) return lastError();
  for (std::size_t i = 0; i + 1 < components->size(); ++i) {
    const std::string& name = (*components)[i];
    if (createParents && ::mkdirat(current.get(), name.c_str(), 0777) != 0 && errno != EEXIST) {
      return lastError();
    }
    UniqueFd next;
    if (int error = openDirectoryAt(current.get(), name, next)) return error;
    current = std::move(next);
  }
  parent = std::move(current);
  leaf = components->back();
  return 0;
}

int FileOperations::removeItem(const std::string& root, std::string_view relative) {
  UniqueFd rootFd, parent;
  std::string leaf;
  if (int error = openRoot(root, rootFd)) return error;
  if (int error = openParent(rootFd.get(), relative, false, parent, leaf)) {
    return error == ENOENT ? 0 : error;  // nothing there to remove
  }
  return removeAt(parent.get(), leaf, 0);
}

int FileOperations::removePath(const std::string& path) {
  UniqueFd parent;
  std::string leaf;
  if (int error = openAbsoluteParent(path, parent, leaf)) return error == ENOENT ? 0 : error;
  return removeAt(parent.get(), leaf, 0);
}

int FileOperations::makeDirectory(const std::string& root, std::string_view relative, mode_t mode) {
  UniqueFd rootFd, parent, folder;
  std::string leaf;
  if (int error = openRoot(root, rootFd)) return error;
  if (int error = openParent(rootFd.get(), relative, true, parent, leaf)) return error;
  if (::mkdirat(parent.get(), leaf.c_str(), 0777) != 0 && errno != EEXIST) return lastError();
  if (int error = openDirectoryAt(parent.get(), leaf, folder)) return error;
  return ::fchmod(folder.get(), mode & kPackageModeMask) == 0 ? 0 : lastError();
}

int FileOperations::makeSymbolicLink(const std::string& root, std::string_view relative,
                                     const std::string& target) {
  UniqueFd rootFd, parent;
  std::string leaf;
  if (int error = openRoot(root, rootFd)) return error;
  if (int error = openParent(rootFd.get(), relative, false, parent, leaf)) return error;
  return ::symlinkat(target.c_str(), parent.get(), leaf.c_str()) == 0 ? 0 : lastError();
}

int FileOperations::createFile(int rootFd, std::string_view relative, UniqueFd& file) {
  UniqueFd parent;
  std::string leaf;
  if (int error = openParent(rootFd, relative, true, parent, leaf)) return error;
  const int fd = ::openat(parent.get(), leaf.c_str(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return errno == EISDIR ? EISDIR : lastError();
  file.reset(fd);
  return 0;
}

int FileOperations::copyFileInto(const std::string& sourceRoot, std::string_view sourceRelative,
                                 const std::string& root, std::string_view relative,
                                 const BlockObserver& observer) {
  UniqueFd sourceRootFd, sourceParent;
  std::string sourceLeaf;
  if (int error = openRoot(sourceRoot, sourceRootFd)) return error;
  if (int error = openParent(sourceRootFd.get(), sourceRelative, false, sourceParent, sourceLeaf)) {
    return error;
  }
  UniqueFd source(::openat(sourceParent.get(), sourceLeaf.c_str(),
                           O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (!source.valid()) return lastError();
  struct stat info;
  if (::fstat(source.get(), &info) != 0) return lastError();
  if (!S_ISREG(info.st_mode)) return S_ISDIR(info.st_mode) ? EISDIR : EINVAL;

  UniqueFd rootFd, parent;
  std::string leaf;
  if (int error = openRoot(root, rootFd)) return error;
  if (int error = openParent(rootFd.get(), relative, false, parent, leaf)) return error;
  UniqueFd target(::openat(parent.get(), leaf.c_str(),
                           O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!target.valid()) return lastError();
  if (int error = copyData(source.get(), target.get(), observer)) return error;
  if (::fchmod(target.get(), info.st_mode & kPackageModeMask) != 0) return lastError();
  const timespec times[2] = {info.st_atim, info.st_mtim};
  return ::futimens(target.get(), times) == 0 ? 0 : lastError();
}

int FileOperations::copyFile(const std::string& source, const std::string& destination) {
  UniqueFd from(::open(source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (!from.valid()) return lastError();
  struct stat info;
  if (::fstat(from.get(), &info) != 0) return lastError();
  if (!S_ISREG(info.st_mode)) return EINVAL;
  UniqueFd to(::open(destination.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                     0600));
  if (!to.valid()) return lastError();
  if (int error = copyData(from.get(), to.get())) return error;
  if (::fchmod(to.get(), info.st_mode & 0777) != 0) return lastError();
  const timespec times[2] = {info.st_atim, info.st_mtim};
  return ::futimens(to.get(), times) == 0 ? 0 : lastError();
}

int FileOperations::copyTree(const std::string& source, const std::string& destination) {
  UniqueFd sourceParent, targetParent;
  std::string sourceLeaf, targetLeaf;
  if (int error = openAbsoluteParent(source, sourceParent, sourceLeaf)) return error;
  if (int error = openAbsoluteParent(destination, targetParent, targetLeaf)) return error;
  UniqueFd from, to;
  if (int error = openDirectoryAt(sourceParent.get(), sourceLeaf, from)) return error;
  struct stat info;
  if (::fstat(from.get(), &info) != 0) return lastError();
  if (::mkdirat(targetParent.get(), targetLeaf.c_str(), 0700) != 0) return lastError();
  if (int error = openDirectoryAt(targetParent.get(), targetLeaf, to)) return error;
  if (int error = copyFolderContents(from.get(), to.get(), 1)) return error;
  return applyAttributes(to.get(), info);
}

int FileOperations::movePath(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : lastError();
}

int FileOperations::exchangePaths(const std::string& first, const std::string& second) {
  return ::renameat2(AT_FDCWD, first.c_str(), AT_FDCWD, second.c_str(), RENAME_EXCHANGE) == 0
             ? 0
             : lastError();
}

bool FileOperations::exists(const std::string& path) {
  struct stat info;
  return ::lstat(path.c_str(), &info) == 0;
}

std::optional<std::string> FileOperations::readAll(int fd, std::size_t maxBytes) {
  std::string text;
  char block[8192];
  for (;;) {
    const ssize_t count = ::read(fd, block, sizeof block);
    if (count == 0) return text;
    if (count < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (text.size() + static_cast<std::size_t>(count) > maxBytes) return std::nullopt;
    text.append(block, static_cast<std::size_t>(count));
  }
}

std::optional<std::string> FileOperations::readText(const std::string& path, std::size_t maxBytes) {
  UniqueFd file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (!file.valid()) return std::nullopt;
  struct stat info;
  if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return readAll(file.get(), maxBytes);
}

std::optional<std::string> FileOperations::readTextBeneath(const std::string& root,
                                                           std::string_view relative,
                                                           std::size_t maxBytes) {
  UniqueFd rootFd, parent;
  std::string leaf;
  if (openRoot(root, rootFd) != 0) return std::nullopt;
  if (openParent(rootFd.get(), relative, false, parent, leaf) != 0) return std::nullopt;
  UniqueFd file(::openat(parent.get(), leaf.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (!file.valid()) return std::nullopt;
  struct stat info;
  if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return readAll(file.get(), maxBytes);
}

int FileOperations::copyData(int from, int to, const BlockObserver& observer) {
  std::vector<char> block(64 * 1024);
  for (;;) {
    const ssize_t count = ::read(from, block.data(), block.size());
    if (count == 0) return 0;
    if (count < 0) {
      if (errno == EINTR) continue;
      return lastError();
    }
    if (observer) observer(block.data(), static_cast<std::size_t>(count));
    if (int error = writeAll(to, block.data(), static_cast<std::size_t>(count))) return error;
  }
}

std::optional<std::string> FileOperations::linkTargetBeneath(int rootFd,
                                                             const std::vector<std::string>& path) {
  std::string joined;
  for (const std::string& component : path) joined += (joined.empty() ? "" : "/") + component;
  if (joined.empty()) return std::nullopt;
  struct stat info;
  if (::fstatat(rootFd, joined.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISLNK(info.st_mode)) {
    return std::nullopt;
  }
  char target[4097];
  const ssize_t length = ::readlinkat(rootFd, joined.c_str(), target, sizeof target);
  if (length <= 0 || static_cast<std::size_t>(length) >= sizeof target) {
    return std::string();  // unreadable or too long: a target that leads nowhere
  }
  return std::string(target, static_cast<std::size_t>(length));
}

namespace {

int listLinksAt(int folder, const std::string& prefix, int depth, std::vector<std::string>& found) {
  if (depth > kMaxDepth) return ENAMETOOLONG;
  std::vector<std::string> names;
  if (int error = listFolder(folder, names)) return error;
  for (const std::string& name : names) {
    struct stat info;
    if (::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return lastError();
    if (S_ISLNK(info.st_mode)) {
      found.push_back(prefix + name);
    } else if (S_ISDIR(info.st_mode)) {
      UniqueFd child;
      if (int error = openDirectoryAt(folder, name, child)) return error;
      if (int error = listLinksAt(child.get(), prefix + name + "/", depth + 1, found)) return error;
    }
  }
  return 0;
}

}  // namespace

int FileOperations::listLinks(const std::string& root, std::vector<std::string>& relativePaths) {
  UniqueFd rootFd;
  if (int error = openRoot(root, rootFd)) return error;
  return listLinksAt(rootFd.get(), std::string(), 1, relativePaths);
}

}  // namespace hc::installer
