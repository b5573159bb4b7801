#include "platform/system/FileOperation.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <mutex>

#include "platform/system/FileErr.h"
#include "platform/system/FileSystem.h"
#include "platform/system/FileTreeCopier.h"

namespace hc::system {

namespace {

using Clock = std::chrono::steady_clock;

std::string LastComponent(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsSingleComponent(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

std::string RealPath(const std::string& path) {
  char resolved[PATH_MAX];
  return ::realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

// A name in the folder that nothing uses now, for building the new item.
std::string TemporaryPath(const std::string& folder, const std::string& name) {
  static std::atomic<unsigned> counter{0};
  for (;;) {
    std::string candidate = JoinPath(folder, "." + name.substr(0, 200) + ".hc" + std::to_string(::getpid()) + "-" +
                                             std::to_string(counter.fetch_add(1)));
    if (!ItemExists(candidate.c_str())) return candidate;
  }
}

bool SameItem(const std::string& a, const std::string& b) {
  struct stat first {}, second {};
  return ::lstat(a.c_str(), &first) == 0 && ::lstat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

// Renames without replacing; kFileErrDuplicate when the target exists.
int RenameNoReplace(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return kFileErrNone;
  if (errno != EINVAL && errno != ENOSYS) return FileErrFromErrno(errno);
  // A file system without the no-replace form.
  if (ItemExists(to.c_str())) return kFileErrDuplicate;
  return ::rename(from.c_str(), to.c_str()) == 0 ? kFileErrNone : FileErrFromErrno(errno);
}

}  // namespace

struct FileOperation::State : std::enable_shared_from_this<FileOperation::State>, CopyObserver {
  // The request, fixed once accepted.
  bool hasRequest = false;
  bool isMove = false;
  bool overwrite = false;
  std::string source;
  std::string folder;
  std::string name;
  Clock::duration interval{};

  std::atomic<bool> cancelled{false};
  int renameErrno = 0;  // of the last failed rename (worker thread only)

  mutable std::mutex lock;
  StatusCallback callback;
  std::weak_ptr<RunLoop> loop;
  bool scheduled = false;
  bool workerStarted = false;
  FileOperationStatus latest;  // the progress to deliver next
  FileOperationStatus final;   // the completion, once completionReady
  int64_t totalBytes = 0;
  int64_t doneBytes = 0;
  bool progressQueued = false;
  bool completionReady = false;
  bool completionQueued = false;
  bool delivered = false;
  bool anyPosted = false;
  Clock::time_point lastPost;

  bool IsCancelled() const override { return cancelled.load(std::memory_order_relaxed); }

  void BeginItem(const std::string& sourcePath) override {
    {
      std::lock_guard<std::mutex> guard(lock);
      latest.stage = FileOperationStage::kRunning;
      latest.currentItem = sourcePath;
    }
    PostProgress();
  }

  void AddBytes(int64_t count) override {
    {
      std::lock_guard<std::mutex> guard(lock);
      doneBytes += count;
      latest.completedBytes = std::min(doneBytes, totalBytes);
    }
    PostProgress();
  }

  // Queues a delivery of the status as it is now, unless one is still
  // queued or the last went out less than an interval ago.
  void PostProgress() {
    std::shared_ptr<RunLoop> target;
    FileOperationStatus snapshot;
    {
      std::lock_guard<std::mutex> guard(lock);
      if (progressQueued || completionReady || !scheduled) return;
      const Clock::time_point now = Clock::now();
      if (anyPosted && now - lastPost < interval) return;
      target = loop.lock();
      if (!target) return;
      progressQueued = true;
      anyPosted = true;
      lastPost = now;
      snapshot = latest;
    }
    if (!target->Post([self = shared_from_this(), snapshot] { self->DeliverProgress(snapshot); })) {
      std::lock_guard<std::mutex> guard(lock);
      progressQueued = false;
    }
  }

  void DeliverProgress(const FileOperationStatus& status) {
    StatusCallback deliver;
    {
      std::lock_guard<std::mutex> guard(lock);
      progressQueued = false;
      // The interval runs from the delivery, so that a loop that was busy
      // does not get the next one close behind.
      lastPost = Clock::now();
      // A delivery queued before the completion still goes out, first.
      if (delivered || !callback) return;
      deliver = callback;
    }
    deliver(status);
  }

  void Complete(int error, const std::string& item) {
    {
      std::lock_guard<std::mutex> guard(lock);
      final.stage = FileOperationStage::kComplete;
      final.error = error;
      final.currentItem = item;
      if (error == kFileErrNone) {
        totalBytes = std::max(totalBytes, doneBytes);
        doneBytes = totalBytes;
      }
      final.totalBytes = totalBytes;
      final.completedBytes = std::min(doneBytes, totalBytes);
      completionReady = true;
    }
    PostCompletion();
  }

  void PostCompletion() {
    std::shared_ptr<RunLoop> target;
    StatusCallback dropped;
    {
      std::lock_guard<std::mutex> guard(lock);
      if (!completionReady || completionQueued || delivered || !scheduled) return;
      target = loop.lock();
      if (target) {
        completionQueued = true;
      } else {
        // The loop's thread has ended: nobody will ever be told.
        dropped = std::move(callback);
        callback = nullptr;
      }
    }
    if (target && !target->Post([self = shared_from_this()] { self->DeliverCompletion(); })) {
      std::lock_guard<std::mutex> guard(lock);
      completionQueued = false;
      dropped = std::move(callback);
      callback = nullptr;
    }
    // `dropped` (and what it holds) goes here, outside the lock.
  }

  void DeliverCompletion() {
    StatusCallback deliver;
    FileOperationStatus status;
    {
      std::lock_guard<std::mutex> guard(lock);
      completionQueued = false;
      if (delivered) return;
      delivered = true;
      deliver = std::move(callback);
      callback = nullptr;
      status = final;
    }
    if (deliver) deliver(status);
  }

  void Run() {
    {
      std::lock_guard<std::mutex> guard(lock);
      latest.stage = FileOperationStage::kPreflighting;
      latest.currentItem = source;
    }
    PostProgress();
    FileTreeCopier copier(*this);
    int64_t total = 0;
    int err = copier.Measure(source, total);
    {
      std::lock_guard<std::mutex> guard(lock);
      totalBytes = total;
      latest.totalBytes = total;
      latest.completedBytes = 0;
    }
    const std::string target = JoinPath(folder, name);
    if (err == kFileErrNone) err = isMove ? Move(copier, target) : Copy(copier, target);
    if (err == kFileErrNone && IsCancelled()) err = kFileErrCancelled;
    Complete(err, target);
  }

  int Copy(FileTreeCopier& copier, const std::string& target) {
    if (!overwrite && ItemExists(target.c_str())) return kFileErrDuplicate;
    const std::string temporary = TemporaryPath(folder, name);
    int err = copier.Copy(source, temporary);
    if (err == kFileErrNone && IsCancelled()) err = kFileErrCancelled;
    if (err == kFileErrNone) err = Install(temporary, target);
    if (err != kFileErrNone) RemoveItem(temporary.c_str(), true);
    return err;
  }

  // Puts the finished item in its place: never over an existing item without
  // the overwrite option, and with it only once the new item is complete.
  int Install(const std::string& item, const std::string& target) {
    if (!overwrite) {
      const int err = RenameNoReplace(item, target);
      renameErrno = err == kFileErrNone ? 0 : errno;
      return err;
    }
    if (::rename(item.c_str(), target.c_str()) == 0) return kFileErrNone;
    renameErrno = errno;
    if (renameErrno != ENOTEMPTY && renameErrno != EEXIST && renameErrno != EISDIR && renameErrno != ENOTDIR) {
      return FileErrFromErrno(renameErrno);
    }
    // A folder, or an item of another kind, is in the way: set it aside,
    // put the new one in, then remove the old one.
    const std::string aside = TemporaryPath(folder, name);
    if (::rename(target.c_str(), aside.c_str()) != 0) return FileErrFromErrno(errno);
    if (::rename(item.c_str(), target.c_str()) != 0) {
      const int err = FileErrFromErrno(errno);
      ::rename(aside.c_str(), target.c_str());
      return err;
    }
    return RemoveItem(aside.c_str(), true);
  }

  int Move(FileTreeCopier& copier, const std::string& target) {
    if (SameItem(source, target)) return kFileErrNone;
    if (!overwrite && ItemExists(target.c_str())) return kFileErrDuplicate;
    if (!OnOtherFileSystem()) {
      renameErrno = 0;
      const int err = Install(source, target);
      if (err == kFileErrNone) {
        AddBytes(totalBytes);
        return kFileErrNone;
      }
      if (renameErrno != EXDEV) return err;
    }
    // Another file system: copy, then remove the source.
    const int err = Copy(copier, target);
    if (err != kFileErrNone) return err;
    return RemoveItem(source.c_str(), true);
  }

  bool OnOtherFileSystem() const {
    struct stat sourceInfo {}, folderInfo {};
    if (::lstat(source.c_str(), &sourceInfo) != 0 || ::stat(folder.c_str(), &folderInfo) != 0) return false;
    return sourceInfo.st_dev != folderInfo.st_dev;
  }
};

FileOperation::FileOperation() : m_state(std::make_shared<State>()) {}

FileOperation::~FileOperation() {
  m_state->cancelled = true;
  if (!m_worker.joinable()) return;
  if (m_worker.get_id() == std::this_thread::get_id()) {
    m_worker.detach();
  } else {
    m_worker.join();
  }
}

int FileOperation::CopyAsync(const char* source, const char* destinationFolder, const char* newName,
                             uint32_t options, StatusCallback callback, double statusInterval) {
  return Request(false, source, destinationFolder, newName, options, std::move(callback), statusInterval);
}

int FileOperation::MoveAsync(const char* source, const char* destinationFolder, const char* newName,
                             uint32_t options, StatusCallback callback, double statusInterval) {
  return Request(true, source, destinationFolder, newName, options, std::move(callback), statusInterval);
}

int FileOperation::Request(bool isMove, const char* source, const char* destinationFolder, const char* newName,
                           uint32_t options, StatusCallback callback, double statusInterval) {
  if (!source || !*source || !destinationFolder || !*destinationFolder) return kFileErrParam;
  const std::string name = newName && *newName ? std::string(newName) : LastComponent(source);
  if (!IsSingleComponent(name)) return kFileErrParam;
  struct stat sourceInfo {};
  if (::lstat(source, &sourceInfo) != 0) return FileErrFromErrno(errno);
  struct stat folderInfo {};
  if (::stat(destinationFolder, &folderInfo) != 0) {
    return errno == ENOENT ? kFileErrFolderNotFound : FileErrFromErrno(errno);
  }
  if (!S_ISDIR(folderInfo.st_mode)) return kFileErrNotAFolder;
  if (S_ISDIR(sourceInfo.st_mode)) {
    const std::string sourceReal = RealPath(source);
    const std::string folderReal = RealPath(destinationFolder);
    if (sourceReal.empty() || folderReal.empty()) return kFileErrParam;
    if (folderReal == sourceReal || folderReal.rfind(sourceReal + "/", 0) == 0) return kFileErrParam;
  }
  State& state = *m_state;
  std::lock_guard<std::mutex> guard(state.lock);
  if (state.hasRequest) return kFileErrParam;
  state.hasRequest = true;
  state.isMove = isMove;
  state.overwrite = (options & kOptionOverwrite) != 0;
  state.source = source;
  state.folder = destinationFolder;
  state.name = name;
  state.interval = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
      statusInterval > 0 ? statusInterval : 0.0));
  state.callback = std::move(callback);
  return kFileErrNone;
}

int FileOperation::Schedule(const std::shared_ptr<RunLoop>& loop) {
  if (!loop) return kFileErrParam;
  bool startWorker = false;
  {
    std::lock_guard<std::mutex> guard(m_state->lock);
    if (!m_state->hasRequest) return kFileErrParam;
    m_state->loop = loop;
    m_state->scheduled = true;
    startWorker = !m_state->workerStarted;
    m_state->workerStarted = true;
  }
  if (startWorker) {
    m_worker = std::thread([state = m_state] { state->Run(); });
  } else {
    m_state->PostCompletion();
  }
  return kFileErrNone;
}

int FileOperation::Unschedule() {
  std::lock_guard<std::mutex> guard(m_state->lock);
  m_state->scheduled = false;
  m_state->loop.reset();
  return kFileErrNone;
}

int FileOperation::Cancel() {
  std::lock_guard<std::mutex> guard(m_state->lock);
  if (!m_state->hasRequest || m_state->completionReady) return kFileErrParam;
  m_state->cancelled = true;
  return kFileErrNone;
}

bool FileOperation::IsFinished() const {
  std::lock_guard<std::mutex> guard(m_state->lock);
  return m_state->delivered;
}

}  // namespace hc::system
