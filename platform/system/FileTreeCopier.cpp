#include "platform/system/FileTreeCopier.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/system/FileErr.h"
#include "platform/system/FileSystem.h"

namespace hc::system {

namespace {

constexpr int64_t kKernelCopyChunk = 8 << 20;
constexpr size_t kReadBufferSize = 1 << 20;

std::atomic<int> gFaultErrno{0};
std::atomic<int64_t> gFaultAfterBytes{0};
std::atomic<int> gChunkPauseMilliseconds{0};

// Opens for reading without touching the access time when allowed (the
// owner, or a privileged process), else plainly.
int OpenForReading(const char* path, int flags) {
  int fd = ::open(path, flags | O_RDONLY | O_CLOEXEC | O_NOATIME | O_NOFOLLOW);
  if (fd < 0 && errno == EPERM) fd = ::open(path, flags | O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  return fd;
}

void TimesOf(const struct stat& info, struct timespec times[2]) {
  times[0] = info.st_atim;
  times[1] = info.st_mtim;
}

}  // namespace

void FileTreeCopier::InjectFaultForTesting(int errnoValue, int64_t afterBytes) {
  gFaultAfterBytes.store(afterBytes);
  gFaultErrno.store(errnoValue);
}

void FileTreeCopier::SetChunkPauseForTesting(int milliseconds) { gChunkPauseMilliseconds.store(milliseconds); }

void FileTreeCopier::ChunkDone(int64_t bytes) {
  m_dataBytesDone += bytes;
  m_observer.AddBytes(bytes);
  if (const int pause = gChunkPauseMilliseconds.load(); pause > 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(pause));
  }
}

int FileTreeCopier::CheckInjectedFault(int64_t bytesAhead) {
  const int fault = gFaultErrno.load();
  if (fault == 0 || m_dataBytesDone + bytesAhead < gFaultAfterBytes.load()) return kFileErrNone;
  int expected = fault;
  if (!gFaultErrno.compare_exchange_strong(expected, 0)) return kFileErrNone;
  return FileErrFromErrno(fault);
}

int FileTreeCopier::Measure(const std::string& path, int64_t& totalBytes) {
  if (m_observer.IsCancelled()) return kFileErrCancelled;
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return LastFileErr();
  if (S_ISREG(info.st_mode)) totalBytes += info.st_size;
  if (!S_ISDIR(info.st_mode)) return kFileErrNone;
  const int folderFd = OpenForReading(path.c_str(), O_DIRECTORY);
  if (folderFd < 0) return LastFileErr();
  std::vector<std::string> names;
  int err = ListDirectoryAt(folderFd, names);
  ::close(folderFd);
  if (err != kFileErrNone) return err;
  for (const std::string& name : names) {
    err = Measure(JoinPath(path, name), totalBytes);
    if (err != kFileErrNone) return err;
  }
  return kFileErrNone;
}

int FileTreeCopier::Copy(const std::string& source, const std::string& target) {
  if (m_observer.IsCancelled()) return kFileErrCancelled;
  struct stat info {};
  if (::lstat(source.c_str(), &info) != 0) return LastFileErr();
  m_observer.BeginItem(source);
  if (S_ISDIR(info.st_mode)) return CopyFolder(source, target, info);
  if (S_ISLNK(info.st_mode)) return CopyLink(source, target, info);
  if (S_ISREG(info.st_mode)) return CopyFile(source, target);
  return CopySpecial(target, info);
}

int FileTreeCopier::CopyFolder(const std::string& source, const std::string& target, const struct stat& info) {
  if (::mkdir(target.c_str(), 0700) != 0) return LastFileErr();
  const int folderFd = OpenForReading(source.c_str(), O_DIRECTORY);
  if (folderFd < 0) return LastFileErr();
  std::vector<std::string> names;
  int err = ListDirectoryAt(folderFd, names);
  ::close(folderFd);
  for (size_t i = 0; err == kFileErrNone && i < names.size(); ++i) {
    err = Copy(JoinPath(source, names[i]), JoinPath(target, names[i]));
  }
  if (err != kFileErrNone) return err;
  // Mode and times last: writing the entries changed the folder's times,
  // and a read-only mode would have kept them out.
  if (::chmod(target.c_str(), info.st_mode & 07777) != 0) return LastFileErr();
  struct timespec times[2];
  TimesOf(info, times);
  if (::utimensat(AT_FDCWD, target.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) return LastFileErr();
  return kFileErrNone;
}

int FileTreeCopier::CopyLink(const std::string& source, const std::string& target, const struct stat& info) {
  std::vector<char> text(static_cast<size_t>(std::max<off_t>(info.st_size, 255)) + 1);
  for (;;) {
    const ssize_t length = ::readlink(source.c_str(), text.data(), text.size());
    if (length < 0) return LastFileErr();
    if (static_cast<size_t>(length) < text.size()) {
      text[static_cast<size_t>(length)] = '\0';
      break;
    }
    text.resize(text.size() * 2);
  }
  if (::symlink(text.data(), target.c_str()) != 0) return LastFileErr();
  struct timespec times[2];
  TimesOf(info, times);
  if (::utimensat(AT_FDCWD, target.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) return LastFileErr();
  return kFileErrNone;
}

int FileTreeCopier::CopySpecial(const std::string& target, const struct stat& info) {
  if (::mknod(target.c_str(), info.st_mode, info.st_rdev) != 0) return LastFileErr();
  if (::chmod(target.c_str(), info.st_mode & 07777) != 0) return LastFileErr();
  struct timespec times[2];
  TimesOf(info, times);
  if (::utimensat(AT_FDCWD, target.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) return LastFileErr();
  return kFileErrNone;
}

int FileTreeCopier::CopyFile(const std::string& source, const std::string& target) {
  const int from = OpenForReading(source.c_str(), 0);
  if (from < 0) return LastFileErr();
  struct stat info {};
  if (::fstat(from, &info) != 0) {
    const int err = LastFileErr();
    ::close(from);
    return err;
  }
  const int to = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (to < 0) {
    const int err = LastFileErr();
    ::close(from);
    return err;
  }
  int err = CopyData(from, to, info.st_size);
  if (err == kFileErrNone && ::ftruncate(to, info.st_size) != 0) err = LastFileErr();
  if (err == kFileErrNone && ::fchmod(to, info.st_mode & 07777) != 0) err = LastFileErr();
  struct timespec times[2];
  TimesOf(info, times);
  if (err == kFileErrNone && ::futimens(to, times) != 0) err = LastFileErr();
  if (::close(to) != 0 && err == kFileErrNone) err = LastFileErr();
  ::close(from);
  return err;
}

int FileTreeCopier::CopyData(int from, int to, int64_t size) {
  int64_t offset = 0;
  while (offset < size) {
    if (m_observer.IsCancelled()) return kFileErrCancelled;
    off_t dataStart = ::lseek(from, offset, SEEK_DATA);
    off_t dataEnd = size;
    if (dataStart < 0) {
      if (errno == ENXIO) {  // only a hole up to the end
        m_observer.AddBytes(size - offset);
        return kFileErrNone;
      }
      dataStart = offset;  // no hole support: copy everything
    } else {
      const off_t holeStart = ::lseek(from, dataStart, SEEK_HOLE);
      if (holeStart >= 0) dataEnd = std::min<int64_t>(holeStart, size);
    }
    if (dataStart >= size) {
      m_observer.AddBytes(size - offset);
      return kFileErrNone;
    }
    if (dataStart > offset) m_observer.AddBytes(dataStart - offset);
    const int err = CopyRange(from, to, dataStart, dataEnd);
    if (err != kFileErrNone) return err;
    offset = dataEnd;
  }
  return kFileErrNone;
}

int FileTreeCopier::CopyRange(int from, int to, int64_t begin, int64_t end) {
  loff_t fromOffset = begin;
  loff_t toOffset = begin;
  while (fromOffset < end) {
    if (m_observer.IsCancelled()) return kFileErrCancelled;
    if (!m_kernelCopyWorks) return CopyRangeByReading(from, to, fromOffset, end);
    const size_t chunk = static_cast<size_t>(std::min<int64_t>(end - fromOffset, kKernelCopyChunk));
    if (const int fault = CheckInjectedFault(static_cast<int64_t>(chunk)); fault != kFileErrNone) return fault;
    const ssize_t copied = ::copy_file_range(from, &fromOffset, to, &toOffset, chunk, 0);
    if (copied < 0) {
      if (errno == EINTR) continue;
      if (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL) {
        m_kernelCopyWorks = false;
        continue;
      }
      return LastFileErr();
    }
    if (copied == 0) break;  // the source shrank under us
    ChunkDone(copied);
  }
  return kFileErrNone;
}

int FileTreeCopier::CopyRangeByReading(int from, int to, int64_t begin, int64_t end) {
  std::vector<char> buffer(kReadBufferSize);
  int64_t offset = begin;
  while (offset < end) {
    if (m_observer.IsCancelled()) return kFileErrCancelled;
    const size_t want = static_cast<size_t>(std::min<int64_t>(end - offset, static_cast<int64_t>(buffer.size())));
    if (const int fault = CheckInjectedFault(static_cast<int64_t>(want)); fault != kFileErrNone) return fault;
    const ssize_t got = ::pread(from, buffer.data(), want, offset);
    if (got < 0) {
      if (errno == EINTR) continue;
      return LastFileErr();
    }
    if (got == 0) break;
    ssize_t written = 0;
    while (written < got) {
      const ssize_t step = ::pwrite(to, buffer.data() + written, static_cast<size_t>(got - written), offset + written);
      if (step < 0) {
        if (errno == EINTR) continue;
        return LastFileErr();
      }
      written += step;
    }
    offset += got;
    ChunkDone(got);
  }
  return kFileErrNone;
}

}  // namespace hc::system
