#pragma once

#include <chrono>
#include <string>

#include "platform/movfile/MovErr.h"
#include "platform/movfile/MovFileIo.h"

namespace hc::movfile {

// A new file that takes the place of the one at a path in one step, once it
// is complete. It is made without a name (O_TMPFILE) in the destination's
// folder, so that a crash or a kill before Commit leaves nothing behind, and
// gets a name only when committed: the destination's own when there was
// none, else a short temporary one that is renamed over it. On a file
// system that makes no unnamed files a short hidden temporary name is used
// from the start, and removed when the replacement is abandoned.
//
// The new file gets the permissions of the file it replaces, or those that
// the process's umask leaves of 0666 for a new one.
class MovFileReplacement {
 public:
  MovFileReplacement() = default;
  ~MovFileReplacement();
  MovFileReplacement(const MovFileReplacement&) = delete;
  MovFileReplacement& operator=(const MovFileReplacement&) = delete;

  MovErr Create(const std::string& destination);
  // Where the new contents are written (read and write, from offset 0).
  MovFileIo& Io() { return io_; }
  // Syncs the new file and puts it in place; an existing destination is
  // locked for the moment of the swap, so that a save into it by another
  // process finishes first (and its next one learns it was replaced).
  MovErr Commit(std::chrono::milliseconds lockWait);

 private:
  MovErr MakeNamedTemporary(int mode);
  MovErr LinkUnderTemporaryName();
  int LinkAs(const std::string& name);  // 0, or the errno value
  void Abandon();

  MovFileIo io_;
  int fd_ = -1;  // io_'s descriptor
  int directoryFd_ = -1;
  std::string directory_;
  std::string name_;
  std::string temporaryName_;  // empty while the file has no name
  bool committed_ = false;
};

}  // namespace hc::movfile
