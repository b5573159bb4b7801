#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "platform/system/RunLoop.h"

namespace hc::system {

enum class FileOperationStage : int { kUndefined = 0, kPreflighting = 1, kRunning = 2, kComplete = 3 };

// One status report of a file operation.
struct FileOperationStatus {
  FileOperationStage stage = FileOperationStage::kUndefined;
  // The item being processed (a source path while running, the destination
  // at completion); absent when there is none.
  std::optional<std::string> currentItem;
  // A FileErr code; meaningful at completion (kFileErrCancelled after Cancel).
  int error = 0;
  // Byte counts of the regular files involved, once measured.
  std::optional<int64_t> totalBytes;
  std::optional<int64_t> completedBytes;
};

// An asynchronous copy or move of one file, folder (recursively) or
// symbolic link into a destination folder, done on a worker thread of its
// own. Statuses go to the run loop the operation is scheduled on, at most
// once per status interval, and the completion comes last; nothing follows
// it. Copies keep permission bits and times, keep holes of sparse files, and
// build the new item under a hidden temporary name that replaces the
// destination only when complete, so a failed or cancelled copy leaves the
// destination folder as it was. A move renames within a file system and
// copies, then removes the source, across file systems.
//
// The callback holds whatever it captures until the completion has been
// delivered (or the run loop it was scheduled on has closed); then it is
// released.
class FileOperation {
 public:
  enum Options : uint32_t { kOptionNone = 0, kOptionOverwrite = 1 };
  using StatusCallback = std::function<void(const FileOperationStatus&)>;

  FileOperation();
  // Cancels unfinished work and waits for the worker thread.
  ~FileOperation();
  FileOperation(const FileOperation&) = delete;
  FileOperation& operator=(const FileOperation&) = delete;

  // Accepts one request; nothing is changed on disk yet. `newName` null or
  // empty keeps the source's name. Refused with: kFileErrParam (a missing
  // argument, a name that is not a single path component, a folder copied
  // or moved into itself, a second request), kFileErrNotFound (no source),
  // kFileErrFolderNotFound (no destination folder), kFileErrNotAFolder.
  int CopyAsync(const char* source, const char* destinationFolder, const char* newName, uint32_t options,
                StatusCallback callback, double statusInterval);
  int MoveAsync(const char* source, const char* destinationFolder, const char* newName, uint32_t options,
                StatusCallback callback, double statusInterval);

  // Sends statuses to this loop from now on; the work begins at the first
  // scheduling. kFileErrParam without a request or a loop.
  int Schedule(const std::shared_ptr<RunLoop>& loop);
  // Holds statuses back until the next Schedule (the work goes on).
  int Unschedule();
  // Stops the work; the completion then reports kFileErrCancelled.
  // kFileErrParam without a request or once the work has ended.
  int Cancel();
  // Whether the completion has been delivered.
  bool IsFinished() const;

 private:
  struct State;
  int Request(bool isMove, const char* source, const char* destinationFolder, const char* newName,
              uint32_t options, StatusCallback callback, double statusInterval);

  std::shared_ptr<State> m_state;
  std::thread m_worker;
};

}  // namespace hc::system
