#include "platform/movfile/MovFileIo.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>

namespace hc::movfile {
namespace {

constexpr uint64_t kSector = 512;

// An absolute form of `path` that no later change of the working folder moves.
std::string Absolute(const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  char* cwd = ::getcwd(nullptr, 0);
  if (!cwd) return path;
  std::string absolute = std::string(cwd) + "/" + path;
  ::free(cwd);
  return absolute;
}

}  // namespace

MovFileIo::~MovFileIo() { Close(); }

MovErr MovFileIo::Open(const std::string& path, Mode mode) {
  Close();
  if (path.empty()) return MovErr::BadArgument;
  int flags = O_CLOEXEC;
  switch (mode) {
    case Mode::Read: flags |= O_RDONLY; break;
    case Mode::Update: flags |= O_RDWR; break;
    case Mode::Create: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
  }
  int fd = ::open(path.c_str(), flags, 0644);
  if (fd < 0) return MovErrFromErrno(errno);
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return MovErr::BadArgument;
  }
  fd_ = fd;
  mode_ = mode;
  path_ = Absolute(path);
  return MovErr::Ok;
}

void MovFileIo::Adopt(int fd, Mode mode) {
  Close();
  fd_ = fd;
  mode_ = mode;
}

void MovFileIo::Close() {
  if (fd_ >= 0) ::close(fd_);  // closing releases the lock too
  fd_ = -1;
  path_.clear();
  locked_ = false;
}

MovErr MovFileIo::ReadAt(uint64_t offset, void* buffer, size_t count) {
  if (fd_ < 0) return MovErr::BadArgument;
  auto* out = static_cast<uint8_t*>(buffer);
  size_t done = 0;
  while (done < count) {
    ssize_t got = ::pread(fd_, out + done, count - done, static_cast<off_t>(offset + done));
    if (got < 0) {
      if (errno == EINTR) continue;
      return MovErrFromErrno(errno);
    }
    if (got == 0) return MovErr::InvalidMovie;
    done += static_cast<size_t>(got);
    bytesRead_ += static_cast<uint64_t>(got);
  }
  return MovErr::Ok;
}

bool MovFileIo::StepAllowed() {
  ++step_;
  if (crashed_) return false;
  if (plan_.failAtStep != 0 && step_ == plan_.failAtStep) {
    crashed_ = plan_.persistent;
    return false;
  }
  return true;
}

MovErr MovFileIo::WriteAt(uint64_t offset, const void* buffer, size_t count) {
  if (fd_ < 0 || mode_ == Mode::Read) return MovErr::DataNotOpenForWrite;
  size_t limit = count;
  bool failAfter = false;
  if (!StepAllowed()) {
    if (!plan_.tornWrite || step_ != plan_.failAtStep) return MovErr::IoError;
    // The write that the crash cut short: whole sectors up to its middle.
    uint64_t middle = offset + count / 2;
    uint64_t boundary = middle - middle % kSector;
    limit = boundary > offset ? static_cast<size_t>(boundary - offset) : 0;
    failAfter = true;
  }
  const auto* in = static_cast<const uint8_t*>(buffer);
  size_t done = 0;
  while (done < limit) {
    ssize_t put = ::pwrite(fd_, in + done, limit - done, static_cast<off_t>(offset + done));
    if (put < 0) {
      if (errno == EINTR) continue;
      return MovErrFromErrno(errno);
    }
    done += static_cast<size_t>(put);
    bytesWritten_ += static_cast<uint64_t>(put);
  }
  return failAfter ? MovErr::IoError : MovErr::Ok;
}

MovErr MovFileIo::Sync() {
  if (fd_ < 0) return MovErr::BadArgument;
  if (!StepAllowed()) return MovErr::IoError;
  if (::fsync(fd_) != 0) return MovErrFromErrno(errno);
  return MovErr::Ok;
}

MovErr MovFileIo::Truncate(uint64_t size) {
  if (fd_ < 0 || mode_ == Mode::Read) return MovErr::DataNotOpenForWrite;
  if (!StepAllowed()) return MovErr::IoError;
  if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) return MovErrFromErrno(errno);
  return MovErr::Ok;
}

MovErr MovFileIo::Extend(uint64_t size) {
  if (fd_ < 0 || mode_ == Mode::Read) return MovErr::DataNotOpenForWrite;
  uint64_t current = 0;
  MovErr err = Size(current);
  if (err != MovErr::Ok) return err;
  if (size <= current) return MovErr::BadArgument;
  if (!StepAllowed()) return MovErr::IoError;
  if (::fallocate(fd_, 0, static_cast<off_t>(current), static_cast<off_t>(size - current)) == 0) return MovErr::Ok;
  if (errno != EOPNOTSUPP && errno != ENOSYS) return MovErrFromErrno(errno);
  if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) return MovErrFromErrno(errno);
  return MovErr::Ok;
}

MovErr MovFileIo::Size(uint64_t& size) const {
  struct stat info {};
  if (fd_ < 0) return MovErr::BadArgument;
  if (::fstat(fd_, &info) != 0) return MovErrFromErrno(errno);
  size = static_cast<uint64_t>(info.st_size);
  return MovErr::Ok;
}

MovErr MovFileIo::Identity(uint64_t& device, uint64_t& inode) const {
  struct stat info {};
  if (fd_ < 0) return MovErr::BadArgument;
  if (::fstat(fd_, &info) != 0) return MovErrFromErrno(errno);
  device = static_cast<uint64_t>(info.st_dev);
  inode = static_cast<uint64_t>(info.st_ino);
  return MovErr::Ok;
}

MovErr MovFileIo::CheckStillAtPath() const {
  struct stat open {};
  struct stat named {};
  if (fd_ < 0 || path_.empty()) return MovErr::BadArgument;
  if (::fstat(fd_, &open) != 0) return MovErrFromErrno(errno);
  if (::stat(path_.c_str(), &named) != 0) {
    return errno == ENOENT || errno == ENOTDIR ? MovErr::FileNotFound : MovErrFromErrno(errno);
  }
  if (named.st_dev != open.st_dev || named.st_ino != open.st_ino) return MovErr::FileChanged;
  // Still reachable through a link to an open descriptor, but deleted.
  if (open.st_nlink == 0) return MovErr::FileNotFound;
  return MovErr::Ok;
}

MovErr MovFileIo::Lock(LockKind kind, std::chrono::milliseconds wait) {
  if (fd_ < 0) return MovErr::BadArgument;
  const int operation = (kind == LockKind::Shared ? LOCK_SH : LOCK_EX) | LOCK_NB;
  const auto deadline = std::chrono::steady_clock::now() + wait;
  auto pause = std::chrono::milliseconds(1);
  for (;;) {
    if (::flock(fd_, operation) == 0) {
      locked_ = true;
      return MovErr::Ok;
    }
    // No locks here (EBADF: a network volume that locks only files open for writing).
    if (errno == ENOLCK || errno == EOPNOTSUPP || errno == ENOSYS || errno == EBADF) return MovErr::Ok;
    if (errno != EWOULDBLOCK && errno != EINTR) return MovErrFromErrno(errno);
    if (std::chrono::steady_clock::now() >= deadline) return MovErr::FileBusy;
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::milliseconds(20));
  }
}

void MovFileIo::Unlock() {
  if (fd_ >= 0 && locked_) ::flock(fd_, LOCK_UN);
  locked_ = false;
}

}  // namespace hc::movfile
