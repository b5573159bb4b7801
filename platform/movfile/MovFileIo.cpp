#include "platform/movfile/MovFileIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace hc::movfile {

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
  return MovErr::Ok;
}

void MovFileIo::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
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
  if (plan_.failAtStep != 0 && step_ >= plan_.failAtStep) {
    crashed_ = true;
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
    limit = count / 2;  // the write that the crash cut short
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

}  // namespace hc::movfile
