#pragma once

#include "installer/Source/UniqueFd.h"

#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hc::installer {

// The file-system work of the installation steps, done directly (no shell,
// no child process). Results are errno values, 0 on success. Paths handed as
// a root and a relative path are walked one component at a time below the
// root: a relative path that leaves its root gives EXDEV, and a folder on the
// way that is a symbolic link gives ELOOP, so nothing is ever written or
// removed through a link.
class FileOperations {
 public:
  // Sees every block of bytes that a copy writes, in order.
  using BlockObserver = std::function<void(const char* bytes, std::size_t count)>;

  // Modes that a package may give: no set-user-id, set-group-id or sticky
  // bit, and nothing writable by everyone.
  static constexpr mode_t kPackageModeMask = 0775;

  // Opens a folder given by an absolute path (links in it are followed).
  static int openRoot(const std::string& root, UniqueFd& folder);
  // Opens the folder that holds the last component of relative below rootFd
  // (making missing folders when createParents is set) and names that
  // component.
  static int openParent(int rootFd, std::string_view relative, bool createParents,
                        UniqueFd& parent, std::string& leaf);

  // rm -rf of relative below root: a link is removed, never followed; a
  // missing item is no failure.
  static int removeItem(const std::string& root, std::string_view relative);
  // rm -rf of an absolute path; its last component is not followed.
  static int removePath(const std::string& path);
  // mkdir -p of relative below root, then its mode set to mode (masked).
  static int makeDirectory(const std::string& root, std::string_view relative, mode_t mode);
  // A symbolic link at relative below root pointing at target; fails when
  // something exists there.
  static int makeSymbolicLink(const std::string& root, std::string_view relative,
                              const std::string& target);
  // cp -p of the regular file sourceRelative below sourceRoot to relative
  // below root, its mode masked with kPackageModeMask. observer sees the
  // bytes as they are written.
  static int copyFileInto(const std::string& sourceRoot, std::string_view sourceRelative,
                          const std::string& root, std::string_view relative,
                          const BlockObserver& observer = {});
  // Copies a regular file (links followed) to a new file, keeping its mode
  // and times.
  static int copyFile(const std::string& source, const std::string& destination);
  // Copies the folder source to the new path destination with everything in
  // it: links as links, modes, times and, where allowed, owners. Sockets,
  // FIFOs and device nodes are kept as the same files (hard links), so that
  // a program listening on a socket or the device a node names stays
  // reachable; where the system refuses the link, a FIFO or device node is
  // made anew and a socket is left out.
  static int copyTree(const std::string& source, const std::string& destination);
  // Creates (or truncates) the regular file relative below rootFd for writing,
  // making missing folders; fails on a link or a folder there.
  static int createFile(int rootFd, std::string_view relative, UniqueFd& file);

  static int movePath(const std::string& from, const std::string& to);
  // Swaps two paths in one step; ENOTSUP-like errors (EINVAL, ENOSYS) tell
  // that the file system cannot.
  static int exchangePaths(const std::string& first, const std::string& second);

  // Whether anything, a dangling link included, is at path.
  static bool exists(const std::string& path);
  // A whole file of at most maxBytes; none when it cannot be read.
  static std::optional<std::string> readText(const std::string& path, std::size_t maxBytes);
  // The same for a regular file relative below root, walked as above.
  static std::optional<std::string> readTextBeneath(const std::string& root,
                                                    std::string_view relative,
                                                    std::size_t maxBytes);
  // Reads a whole open file of at most maxBytes.
  static std::optional<std::string> readAll(int fd, std::size_t maxBytes);
  // Copies the rest of one open file to another.
  static int copyData(int from, int to, const BlockObserver& observer = {});

  // The target of the symbolic link at path (components below rootFd, none
  // of them a link); none when the item there is no link or is missing, an
  // empty text when the link cannot be read.
  static std::optional<std::string> linkTargetBeneath(int rootFd,
                                                      const std::vector<std::string>& path);
  // The paths, relative to root, of every symbolic link in the tree below
  // root (links are listed, never followed).
  static int listLinks(const std::string& root, std::vector<std::string>& relativePaths);
};

}  // namespace hc::installer
