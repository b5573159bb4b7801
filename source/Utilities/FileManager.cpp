#include "Utilities/FileManager.h"

#include <set>
#include <string>
#include <vector>

#include "KsTrace.h"
#include "platform/system/FileErr.h"
#include "platform/system/FileOperation.h"
#include "platform/system/FileSystem.h"
#include "platform/system/RunLoop.h"

using hc::system::FileOperation;
using hc::system::FileOperationStage;
using hc::system::FileOperationStatus;

namespace {

constexpr double kStatusInterval = 0.1;
constexpr unsigned kNewFolderMode = 0775;

// The running-stage text: the item's name between double quotation marks.
constexpr const char* kCopyingFormat = "Copying \"%@\"...";

// The trailing decimal digits of a name's base, as a number to count on
// from; false when there are none or they are too many to count with.
bool SplitTrailingNumber(std::string& base, long long& number) {
  size_t start = base.size();
  while (start > 0 && base[start - 1] >= '0' && base[start - 1] <= '9') --start;
  const size_t digits = base.size() - start;
  if (digits == 0 || digits > 17) return false;
  number = std::stoll(base.substr(start));
  base.erase(start);
  return true;
}

}  // namespace

FileManager::FileManager() = default;

FileManager::~FileManager() = default;

KsRef<ProgressReport> FileManager::CopyFrom(const PWStringRef& sourcePath, const PWStringRef& destinationFolder,
                                            const PWStringRef& newName, bool replacing) {
  return Request(false, sourcePath, destinationFolder, newName, replacing);
}

KsRef<ProgressReport> FileManager::MoveFrom(const PWStringRef& sourcePath, const PWStringRef& destinationFolder,
                                            const PWStringRef& newName, bool replacing) {
  return Request(true, sourcePath, destinationFolder, newName, replacing);
}

KsRef<ProgressReport> FileManager::Request(bool isMove, const PWStringRef& sourcePath,
                                           const PWStringRef& destinationFolder, const PWStringRef& newName,
                                           bool replacing) {
  const char* verb = isMove ? "Move" : "Copy";
  const char* method = isMove ? "MoveFrom" : "CopyFrom";
  auto report = KsMakeRef<ProgressReport>();
  report->SetName(isMove ? "Move Files" : "Copy Files");
  report->SetTaskMode(2);

  std::unique_lock<std::mutex> guard(m_lock);
  if (m_requestPending) {
    guard.unlock();
    // The running request keeps its report and its file operation.
    report->SetDescription(FailureDescription(verb, AppErr::kAlreadyAssigned, sourcePath, destinationFolder));
    report->SetStatus(AppErr::kAlreadyAssigned);
    KS_TRACE_ERR(AppErr::kAlreadyAssigned, method);
    return report;
  }
  auto operation = std::make_shared<FileOperation>();
  // The operation holds this manager only once it is scheduled (see Start),
  // so a request that is never started leaves nothing alive.
  auto hold = std::make_shared<PendingHold>();
  auto callback = [hold](const FileOperationStatus& status) {
    KsRef<FileManager> manager;
    {
      std::lock_guard<std::mutex> holdGuard(hold->lock);
      manager = hold->manager;
    }
    if (manager) manager->StatusCallback(status);
  };
  const PWCStringPtr source(sourcePath);
  const PWCStringPtr folder(destinationFolder);
  const PWCStringPtr name(newName);
  const uint32_t options = replacing ? FileOperation::kOptionOverwrite : FileOperation::kOptionNone;
  const int osErr = isMove ? operation->MoveAsync(source, folder, name, options, callback, kStatusInterval)
                           : operation->CopyAsync(source, folder, name, options, callback, kStatusInterval);
  if (osErr != hc::system::kFileErrNone) {
    guard.unlock();
    // Nothing will drive this report: it stays failed, unattached.
    const eAppErr err = AppErrFromOSErr(osErr);
    report->SetDescription(FailureDescription(verb, err, sourcePath, destinationFolder));
    report->SetStatus(err);
    KS_TRACE_ERR(err, method);
    return report;
  }
  m_fileOperation = operation;
  m_pendingHold = hold;
  m_requestPending = true;
  m_isMove = isMove;
  m_sourcePath = sourcePath;
  m_destinationFolder = destinationFolder;
  guard.unlock();
  AttachToProgressReport(report);
  return report;
}

KsRef<ProgressReport> FileManager::Start() {
  KsRef<ProgressReport> report = KsOperation::Start();
  std::shared_ptr<FileOperation> operation;
  std::shared_ptr<PendingHold> hold;
  {
    std::lock_guard<std::mutex> guard(m_lock);
    operation = m_fileOperation;
    hold = m_pendingHold.lock();
  }
  if (!operation) return report;
  if (hold) {
    // Until its completion has been delivered, the scheduled operation keeps
    // this manager alive, whoever else lets go of it.
    std::lock_guard<std::mutex> holdGuard(hold->lock);
    hold->manager = KsRef<FileManager>(this);
  }
  operation->Schedule(hc::system::RunLoop::Current());
  return report;
}

eAppErr FileManager::Cancel(const KsRef<ProgressReport>& report) {
  const eAppErr result = KsOperation::Cancel(report);
  if (AppErrFailed(result)) return result;
  std::shared_ptr<FileOperation> operation;
  {
    std::lock_guard<std::mutex> guard(m_lock);
    operation = m_fileOperation;
  }
  if (!operation) return KS_TRACE_ERR(AppErr::kBadArgument, "Cancel");
  const int osErr = operation->Cancel();
  if (osErr != hc::system::kFileErrNone) return KS_TRACE_ERR(AppErrFromOSErr(osErr), "Cancel");
  SetOperationState(kInactive);
  return AppErr::kNoErr;
}

void FileManager::StatusCallback(const FileOperationStatus& status) {
  KsRef<ProgressReport> report = GetProgressReport();
  if (report) {
    if (status.totalBytes) report->SetMaxProgress(static_cast<float>(*status.totalBytes));
    if (status.completedBytes) report->SetProgress(static_cast<float>(*status.completedBytes));
  }
  switch (status.stage) {
    case FileOperationStage::kUndefined:
    case FileOperationStage::kPreflighting:
      if (report) report->SetDescription("Preparing to copy...");
      break;
    case FileOperationStage::kRunning: {
      if (!report) break;
      const PWStringRef name =
          status.currentItem ? PWStringLastPathComponent(PWStringRef(*status.currentItem)) : PWStringRef();
      report->SetDescription(name.IsEmpty() ? PWStringRef("") : PWStringCreateWithFormat(kCopyingFormat, name));
      break;
    }
    case FileOperationStage::kComplete: {
      std::shared_ptr<FileOperation> operation;
      PWStringRef source;
      PWStringRef folder;
      {
        std::lock_guard<std::mutex> guard(m_lock);
        m_requestPending = false;
        operation = m_fileOperation;
        source = m_sourcePath;
        folder = m_destinationFolder;
      }
      if (operation) operation->Unschedule();
      const PWStringRef item = status.currentItem ? PWStringRef(*status.currentItem) : PWStringRef();
      if (status.error == hc::system::kFileErrNone) {
        CompleteOperation(report, item, "Completed.", ProgressReport::kDone);
      } else if (status.error == hc::system::kFileErrCancelled) {
        CompleteOperation(report, item, PWStringRef(), ProgressReport::kCancelled);
      } else {
        const eAppErr code = AppErrFromOSErr(status.error);
        // A missing item at completion is the source (or something in it).
        CompleteOperation(report, item, FailureDescription(Verb(), code, source, folder), code);
      }
      break;
    }
  }
}

eAppErr FileManager::CompleteOperation(const KsRef<ProgressReport>& report, const PWStringRef&,
                                       const PWStringRef& description, eAppErr code) {
  if (!report) return AppErr::kNoErr;
  if (code == ProgressReport::kCancelled) {
    if (!StatusReport::IsFinalStatus(report->GetStatus())) report->SetStatus(ProgressReport::kCancelled);
  } else {
    report->SetDescription(description);
    // An error is recorded as a status entry and fails the report.
    report->SetStatus(code);
  }
  DetachFromProgressReport(report);
  return AppErr::kNoErr;
}

PWStringRef FileManager::FailureDescription(const char* verb, eAppErr code, const PWStringRef& itemPath,
                                            const PWStringRef& destinationFolder) {
  switch (code) {
    case -301: return PWStringCreateWithFormat("%s failed because '%@' could not be found.", verb, itemPath);
    case -325:
      return PWStringCreateWithFormat("%s failed because the folder '%@' could not be found.", verb,
                                      destinationFolder);
    case -338: return PWStringCreateWithFormat("%s failed because '%@' is not a folder.", verb, destinationFolder);
    case -317:
      return PWStringCreateWithFormat("%s failed because a file already exists with the same name. (Error %d)", verb,
                                      code);
    case -305:
    case -341:
      return PWStringCreateWithFormat("%s failed because there is not enough space at the destination. (Error %d)",
                                      verb, code);
    case -314:
      return PWStringCreateWithFormat("%s failed because the destination is read-only. (Error %d)", verb, code);
    case -322: return PWStringCreateWithFormat("%s failed because permission was denied. (Error %d)", verb, code);
    case AppErr::kAlreadyAssigned:
      return PWStringCreateWithFormat("%s failed because another copy or move is in progress.", verb);
    case AppErr::kBadArgument:
      return PWStringCreateWithFormat("%s failed because the request is not valid. (Error %d)", verb, code);
    default: return PWStringCreateWithFormat("%s failed because of an error. (Error %d)", verb, code);
  }
}

eAppErr FileManager::DeleteFileAtPath(const PWStringRef& path) {
  const int osErr = hc::system::RemoveFile(PWCStringPtr(path));
  if (osErr != hc::system::kFileErrNone) return KS_TRACE_ERR(AppErrFromOSErr(osErr), "DeleteFileAtPath");
  return AppErr::kNoErr;
}

eAppErr FileManager::DeleteDirectory(const PWStringRef& path, bool recursively) {
  const int osErr = hc::system::RemoveItem(PWCStringPtr(path), recursively);
  if (osErr != hc::system::kFileErrNone) return KS_TRACE_ERR(AppErrFromOSErr(osErr), "DeleteDirectory");
  return AppErr::kNoErr;
}

eAppErr FileManager::CreateDirectory(const PWStringRef& path) {
  const int osErr = hc::system::MakeDirectory(PWCStringPtr(path), kNewFolderMode);
  if (osErr != hc::system::kFileErrNone) return KS_TRACE_ERR(AppErrFromOSErr(osErr), "CreateDirectory");
  return AppErr::kNoErr;
}

KsRef<KsStringCollection> FileManager::ListDirectory(const PWStringRef& folderPath) {
  auto list = KsMakeRef<KsStringCollection>();
  std::vector<std::string> names;
  hc::system::ListDirectory(PWCStringPtr(folderPath), names);
  for (const std::string& name : names) list->Add(PWStringRef(name));
  return list;
}

PWStringRef FileManager::UniqueFilename(const PWStringRef& folderPath, const PWStringRef& fileName) {
  if (fileName.IsNull()) return {};
  std::vector<std::string> names;
  hc::system::ListDirectory(PWCStringPtr(folderPath), names);
  const std::set<std::string> taken(names.begin(), names.end());
  if (taken.count(fileName.Str()) == 0) return fileName;
  std::string base = PWStringDeletingPathExtension(fileName).Str();
  const std::string extension = PWStringPathExtension(fileName).Str();
  long long number = 2;
  SplitTrailingNumber(base, number);
  for (;; ++number) {
    std::string candidate = base + std::to_string(number);
    if (!extension.empty()) candidate += "." + extension;
    if (taken.count(candidate) == 0) return PWStringRef(std::move(candidate));
  }
}
