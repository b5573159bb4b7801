#include "platform/movfile/MovFileReplacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>

namespace hc::movfile {
namespace {

constexpr int kNewFileMode = 0666;  // less the umask, as for any new file
constexpr int kNameAttempts = 64;

// A short hidden name, so that a destination whose name is as long as the
// file system allows still gets one.
std::string TemporaryName() {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  thread_local std::mt19937_64 random{std::random_device{}()};
  std::string name = ".flatten-";
  for (int i = 0; i < 10; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
  return name;
}

}  // namespace

MovFileReplacement::~MovFileReplacement() { Abandon(); }

MovErr MovFileReplacement::Create(const std::string& destination) {
  Abandon();
  size_t slash = destination.rfind('/');
  directory_ = slash == std::string::npos ? "." : (slash == 0 ? "/" : destination.substr(0, slash));
  name_ = slash == std::string::npos ? destination : destination.substr(slash + 1);
  if (name_.empty() || name_ == "." || name_ == "..") return MovErr::BadArgument;
  directoryFd_ = ::open(directory_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (directoryFd_ < 0) return MovErrFromErrno(errno);

  struct stat existing {};
  bool replacing = ::fstatat(directoryFd_, name_.c_str(), &existing, 0) == 0 && S_ISREG(existing.st_mode);
  fd_ = ::openat(directoryFd_, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, kNewFileMode);
  if (fd_ < 0) {
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return MovErrFromErrno(errno);
    MovErr err = MakeNamedTemporary(kNewFileMode);
    if (err != MovErr::Ok) return err;
  }
  io_.Adopt(fd_, MovFileIo::Mode::Update);
  if (replacing && ::fchmod(fd_, existing.st_mode & 0777) != 0) return MovErrFromErrno(errno);
  return MovErr::Ok;
}

MovErr MovFileReplacement::MakeNamedTemporary(int mode) {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::string name = TemporaryName();
    int fd = ::openat(directoryFd_, name.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, mode);
    if (fd >= 0) {
      fd_ = fd;
      temporaryName_ = name;
      return MovErr::Ok;
    }
    if (errno != EEXIST) return MovErrFromErrno(errno);
  }
  return MovErr::IoError;
}

MovErr MovFileReplacement::Commit(std::chrono::milliseconds lockWait) {
  if (fd_ < 0 || committed_) return MovErr::BadArgument;
  MovErr err = io_.Sync();
  if (err != MovErr::Ok) return err;
  // Opened for writing where it may be: a network volume's locks want that.
  MovFileIo existing;
  const std::string destination = directory_ + "/" + name_;
  if (existing.Open(destination, MovFileIo::Mode::Update) == MovErr::Ok ||
      existing.Open(destination, MovFileIo::Mode::Read) == MovErr::Ok) {
    err = existing.Lock(MovFileIo::LockKind::Exclusive, lockWait);
    if (err != MovErr::Ok) return err;
  }
  if (temporaryName_.empty()) {
    int linkErr = LinkAs(name_);
    if (linkErr == 0) {
      committed_ = true;
      ::fsync(directoryFd_);
      return MovErr::Ok;
    }
    if (linkErr != EEXIST) return MovErrFromErrno(linkErr);
    err = LinkUnderTemporaryName();
    if (err != MovErr::Ok) return err;
  }
  if (::renameat(directoryFd_, temporaryName_.c_str(), directoryFd_, name_.c_str()) != 0) return MovErrFromErrno(errno);
  temporaryName_.clear();
  committed_ = true;
  ::fsync(directoryFd_);
  return MovErr::Ok;
}

MovErr MovFileReplacement::LinkUnderTemporaryName() {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::string name = TemporaryName();
    int linkErr = LinkAs(name);
    if (linkErr == 0) {
      temporaryName_ = name;
      return MovErr::Ok;
    }
    if (linkErr != EEXIST) return MovErrFromErrno(linkErr);
  }
  return MovErr::IoError;
}

// Gives the unnamed file a name: directly where the process may (it takes a
// privilege), else through its entry in /proc.
int MovFileReplacement::LinkAs(const std::string& name) {
  if (::linkat(fd_, "", directoryFd_, name.c_str(), AT_EMPTY_PATH) == 0) return 0;
  if (errno == EEXIST) return EEXIST;
  std::string self = "/proc/self/fd/" + std::to_string(fd_);
  if (::linkat(AT_FDCWD, self.c_str(), directoryFd_, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return 0;
  return errno;
}

void MovFileReplacement::Abandon() {
  if (!committed_ && !temporaryName_.empty() && directoryFd_ >= 0) ::unlinkat(directoryFd_, temporaryName_.c_str(), 0);
  io_.Close();
  fd_ = -1;
  if (directoryFd_ >= 0) ::close(directoryFd_);
  directoryFd_ = -1;
  temporaryName_.clear();
  committed_ = false;
}

}  // namespace hc::movfile
