#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "KsAppErr.h"
#include "PWString.h"

// Where the properties that read a file by path ("HcMLToLoadPath" and the
// other "…Path" properties of the vocabulary) may read from, and how they
// read: only regular files of at most kMaxFileBytes, without ever blocking.
//
// A graph from an untrusted place (a presentation read from a movie) is
// parsed under a policy restricted to a few folders (the movie's own and the
// application's resource folders): its path properties then read only files
// that lie inside one of them once symbolic links are followed, and a
// relative path is taken relative to the first folder. The default policy
// is unrestricted (the application's own files).
//
// A parser makes its policy the one in force on its thread while it builds
// a graph (see Scope); objects that read files take the policy in force when
// they are made, so that what an untrusted document creates stays
// restricted after the parse, and whatever it loads in turn as well. A
// policy can only ever be narrowed, never widened, by another.
class FileAccessPolicy {
 public:
  static constexpr uint64_t kMaxFileBytes = 64u << 20;

  // Unrestricted.
  FileAccessPolicy() = default;
  // Restricted to files inside these folders (folders that don't exist are
  // left out; with none left, nothing may be read).
  static FileAccessPolicy InsideFolders(const std::vector<std::string>& folders);

  bool IsRestricted() const { return m_restricted; }
  // The folders, with symbolic links followed.
  const std::vector<std::string>& GetFolders() const { return m_folders; }

  // What both policies allow.
  FileAccessPolicy NarrowedBy(const FileAccessPolicy& other) const;

  // The whole file into `contents`. -2 for a null or empty path, a file that
  // does not exist or can't be opened, anything but a regular file (folders,
  // devices, pipes, sockets), a file larger than kMaxFileBytes and a file
  // outside the allowed folders.
  eAppErr ReadFile(const PWStringRef& path, std::string* contents) const;
  // The same, as UTF-8 text: -2 as well for bytes that are not UTF-8.
  eAppErr ReadText(const PWStringRef& path, PWStringRef* text) const;

  // The policy in force on this thread: the narrowest of the open scopes,
  // unrestricted outside any.
  static FileAccessPolicy Current();

  // Narrows the thread's policy by another one while the scope is open.
  class Scope;

 private:
  bool Allows(const std::string& realPath) const;
  bool Covers(const std::string& folder) const;

  bool m_restricted = false;
  std::vector<std::string> m_folders;
};

class FileAccessPolicy::Scope {
 public:
  explicit Scope(const FileAccessPolicy& policy);
  ~Scope();
  Scope(const Scope&) = delete;
  Scope& operator=(const Scope&) = delete;

 private:
  const FileAccessPolicy* m_previous;
  FileAccessPolicy m_policy;
};
