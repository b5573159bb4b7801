#pragma once

#include <memory>
#include <mutex>

#include "General/KsStringCollection.h"
#include "Utilities/KsOperation.h"

namespace hc::system {
class FileOperation;
struct FileOperationStatus;
}  // namespace hc::system

// Copies and moves files and folders without blocking: a request hands the
// work to an asynchronous file operation and answers at once with a new
// progress report, which the operation fills with progress, messages and
// the outcome on the run loop of the thread that called Start. Beside that,
// small synchronous calls: delete a file or folder, make a folder, list a
// folder, and find a file name not yet used in a folder.
class FileManager : public KsOperation {
  HC_CLASS_HEADER(FileManager)
 public:
  FileManager();
  ~FileManager() override;

  KsRef<ProgressReport> Start() override;
  eAppErr Cancel(const KsRef<ProgressReport>& report) override;
  // Writes the outcome into the report and detaches from it: done with
  // "Completed.", failed with the error recorded, or left cancelled.
  virtual eAppErr CompleteOperation(const KsRef<ProgressReport>& report, const PWStringRef& path,
                                    const PWStringRef& description, eAppErr code);

  // Never fail by result: failures are written into the returned report.
  KsRef<ProgressReport> CopyFrom(const PWStringRef& sourcePath, const PWStringRef& destinationFolder,
                                 const PWStringRef& newName, bool replacing);
  KsRef<ProgressReport> MoveFrom(const PWStringRef& sourcePath, const PWStringRef& destinationFolder,
                                 const PWStringRef& newName, bool replacing);
  // Turns one status of the file operation into the report's progress,
  // description and, at completion, outcome.
  void StatusCallback(const hc::system::FileOperationStatus& status);

  static eAppErr DeleteFileAtPath(const PWStringRef& path);
  // A forced removal: a missing item is no error; a folder needs `recursively`.
  static eAppErr DeleteDirectory(const PWStringRef& path, bool recursively);
  // Makes a folder (permission bits 0775); an existing folder is success.
  static eAppErr CreateDirectory(const PWStringRef& path);
  // The folder's entry names, sorted; empty for a folder that can't be listed.
  static KsRef<KsStringCollection> ListDirectory(const PWStringRef& folderPath);
  // The file name itself when the folder has no entry of that name, else the
  // first free name with a number before the extension ("photo2.jpg",
  // "photo3.jpg", …; a trailing number counts on: "photo3.jpg" gives
  // "photo4.jpg"). Null for a null name.
  static PWStringRef UniqueFilename(const PWStringRef& folderPath, const PWStringRef& fileName);

  // The message a failed copy or move shows ("Copy" or "Move" as the verb).
  static PWStringRef FailureDescription(const char* verb, eAppErr code, const PWStringRef& itemPath,
                                        const PWStringRef& destinationFolder);

 private:
  KsRef<ProgressReport> Request(bool isMove, const PWStringRef& sourcePath, const PWStringRef& destinationFolder,
                                const PWStringRef& newName, bool replacing);
  const char* Verb() const { return m_isMove ? "Move" : "Copy"; }

  // What the pending operation's callback holds the manager through.
  struct PendingHold {
    std::mutex lock;
    KsRef<FileManager> manager;
  };

  std::mutex m_lock;
  std::shared_ptr<hc::system::FileOperation> m_fileOperation;
  std::weak_ptr<PendingHold> m_pendingHold;
  bool m_requestPending = false;
  bool m_isMove = false;
  PWStringRef m_sourcePath;
  PWStringRef m_destinationFolder;
};
HC_CLASS_OBJECT(FileManager, KsOperation)
