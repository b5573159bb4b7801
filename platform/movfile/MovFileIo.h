#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/movfile/MovErr.h"
#include "platform/movfile/MovFaultPlan.h"

namespace hc::movfile {

// Positioned reads and writes on one file descriptor, with the counts of bytes
// moved (the benchmarks and tests read them) and an optional fault plan.
class MovFileIo {
 public:
  enum class LockKind { Shared, Exclusive };

  enum class Mode {
    Read,    // existing file, read only
    Update,  // existing file, read and write; never created or truncated
    Create,  // new or emptied file, read and write
  };

  MovFileIo() = default;
  ~MovFileIo();
  MovFileIo(const MovFileIo&) = delete;
  MovFileIo& operator=(const MovFileIo&) = delete;

  MovErr Open(const std::string& path, Mode mode);
  // Takes over a descriptor opened elsewhere (an unnamed file, say).
  void Adopt(int fd, Mode mode);
  void Close();
  bool IsOpen() const { return fd_ >= 0; }
  bool IsWritable() const { return mode_ != Mode::Read; }

  // Reads exactly `count` bytes; fewer bytes before the end of the file is
  // InvalidMovie (the file is shorter than its atoms say).
  MovErr ReadAt(uint64_t offset, void* buffer, size_t count);
  MovErr WriteAt(uint64_t offset, const void* buffer, size_t count);
  MovErr Sync();
  MovErr Truncate(uint64_t size);
  // Grows the file to `size` bytes of zeros, with the disk space allocated
  // where the file system can (so that a full disk refuses here, before
  // anything is written).
  MovErr Extend(uint64_t size);
  MovErr Size(uint64_t& size) const;
  // Identity of the open file (device, inode), to tell two paths apart.
  MovErr Identity(uint64_t& device, uint64_t& inode) const;
  // Whether the path the file was opened with still names it: FileNotFound
  // once it was deleted, FileChanged once another file took its name.
  MovErr CheckStillAtPath() const;

  // An advisory lock on the whole file (flock), shared between readers and
  // held alone by a writer, waited for up to `wait`; FileBusy after that.
  // On file systems that keep no locks it is not taken and Ok is answered.
  MovErr Lock(LockKind kind, std::chrono::milliseconds wait);
  void Unlock();

  uint64_t BytesRead() const { return bytesRead_; }
  uint64_t BytesWritten() const { return bytesWritten_; }
  void ResetCounters() { bytesRead_ = bytesWritten_ = 0; }
  void SetFaultPlan(const MovFaultPlan& plan) { plan_ = plan; step_ = 0; crashed_ = false; }

 private:
  // Counts one mutating step; false when the plan fails it.
  bool StepAllowed();

  int fd_ = -1;
  Mode mode_ = Mode::Read;
  std::string path_;  // absolute, as given: a symbolic link is followed anew each time
  bool locked_ = false;
  uint64_t bytesRead_ = 0;
  uint64_t bytesWritten_ = 0;
  MovFaultPlan plan_;
  size_t step_ = 0;
  bool crashed_ = false;
};

}  // namespace hc::movfile
