#include "InterfaceCommon/ProgressReport.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "platform/system/RunLoop.h"

ProgressReport::ProgressReport() : m_statusReports(KsMakeRef<StatusReportCollection>()) {
  m_status.store(kWaiting);
}

ProgressReport::~ProgressReport() {
  KsRef<KsObject> keepAlive;
  {
    std::lock_guard<std::mutex> guard(m_keepAliveLock);
    keepAlive = std::move(m_operationKeepAlive);
  }
}

void ProgressReport::StoreStatus(eAppErr status) {
  std::lock_guard<std::mutex> guard(m_waitLock);
  m_status.store(status, std::memory_order_release);
  if (status != kRunning) {
    ++m_wakeCount;
    m_waitCondition.notify_all();
  }
}

eAppErr ProgressReport::SetStatus(eAppErr status) {
  if (status == AppErr::kNoErr) return AppErr::kNoErr;
  eAppErr newStatus = status;
  if (status != kWaiting && status != kRunning && status != kDone && status != kCancelled && status != kFailed) {
    AddStatusReportForAppErr(status);
    newStatus = status < 0 ? kFailed : kRunning;
  }
  DidChangeCaller change(this, kStatusId);
  StoreStatus(newStatus);
  NoteActivity();
  return AppErr::kNoErr;
}

eAppErr ProgressReport::CancelOperation() {
  if (!m_canCancel.load()) return KS_TRACE_ERR(kCancelRefused, "CancelOperation");
  if (IsFinalStatus(m_status.load())) return AppErr::kNoErr;
  DidChangeCaller change(this, kDidCancelId);
  StoreStatus(kCancelled);
  NoteActivity();
  return AppErr::kNoErr;
}

eAppErr ProgressReport::Wait() {
  {
    std::unique_lock<std::mutex> guard(m_waitLock);
    if (IsFinalStatus(GetStatus())) return m_status.load();
    if (!IsSteppingMode(m_taskMode.load())) {
      const uint64_t seen = m_wakeCount;
      m_waitCondition.wait(guard, [&] { return m_wakeCount != seen; });
      return m_status.load();
    }
  }
  int quietSteps = 0;
  for (;;) {
    const uint64_t activity = GetActivity();
    Task();
    const eAppErr status = m_status.load();
    if (status != kRunning) return status;
    PauseIfQuiet(activity, quietSteps);
  }
}

void ProgressReport::PauseIfQuiet(uint64_t activityBefore, int& quietSteps) {
  if (GetActivity() != activityBefore) {
    quietSteps = 0;
    return;
  }
  const int micros = std::min(10000, 100 << std::min(quietSteps, 7));
  ++quietSteps;
  hc::system::RunLoop::Current()->RunOnce(std::chrono::microseconds(micros));
}

eAppErr ProgressReport::Task() {
  { DidChangeCaller change(this, kDidTaskId); }
  return AppErr::kNoErr;
}

eAppErr ProgressReport::SetProgress(float progress) {
  DidChangeCaller change(this, kProgressId);
  DidChangeCaller percentChange(this, kPercentCompleteId);
  m_progress.store(progress);
  UpdateIndeterminate();
  NoteActivity();
  return AppErr::kNoErr;
}

eAppErr ProgressReport::SetMaxProgress(float maxProgress) {
  DidChangeCaller change(this, kMaxProgressId);
  DidChangeCaller percentChange(this, kPercentCompleteId);
  m_maxProgress.store(maxProgress);
  UpdateIndeterminate();
  NoteActivity();
  return AppErr::kNoErr;
}

void ProgressReport::UpdateIndeterminate() {
  const bool indeterminate = m_progress.load() < 0.0f || m_maxProgress.load() == 0.0f;
  if (indeterminate != m_isIndeterminate.load()) SetIsIndeterminate(indeterminate);
}

eAppErr ProgressReport::SetIsIndeterminate(bool isIndeterminate) {
  DidChangeCaller change(this, kIsIndeterminateId);
  m_isIndeterminate.store(isIndeterminate);
  NoteActivity();
  return AppErr::kNoErr;
}

eAppErr ProgressReport::SetCanCancel(bool canCancel) {
  DidChangeCaller change(this, kCanCancelId);
  m_canCancel.store(canCancel);
  NoteActivity();
  return AppErr::kNoErr;
}

eAppErr ProgressReport::SetTaskMode(int32_t taskMode) {
  DidChangeCaller change(this, kTaskModeId);
  m_taskMode.store(taskMode);
  NoteActivity();
  return AppErr::kNoErr;
}

eAppErr ProgressReport::SetOperationReference(void* reference) {
  DidChangeCaller change(this, kOperationReferenceId);
  m_operationReference.store(reference);
  return AppErr::kNoErr;
}

void ProgressReport::GetOperationKeepAlive(KsRef<KsObject>& object) const {
  std::lock_guard<std::mutex> guard(m_keepAliveLock);
  object = m_operationKeepAlive;
}

KsRef<KsObject> ProgressReport::GetOperationKeepAlive() const {
  KsRef<KsObject> object;
  GetOperationKeepAlive(object);
  return object;
}

eAppErr ProgressReport::SetOperationKeepAlive(const KsRef<KsObject>& object) {
  DidChangeCaller change(this, kOperationKeepAliveId);
  KsRef<KsObject> replaced;
  {
    std::lock_guard<std::mutex> guard(m_keepAliveLock);
    if (m_operationKeepAlive == object) return AppErr::kNoErr;
    replaced = std::exchange(m_operationKeepAlive, object);
  }
  // The old object goes outside the lock: it may be the operation, whose
  // end may look at this report.
  return AppErr::kNoErr;
}

eAppErr ProgressReport::AddStandardObservationsForObserver(const KsRef<KsObject>& observer) {
  AddObserver(observer, "DidTask", 0);
  AddObserver(observer, "DidCancel", 0);
  return AppErr::kNoErr;
}

eAppErr ProgressReport::RemoveStandardObservationsForObserver(const KsRef<KsObject>& observer) {
  RemoveObserver(observer, "DidTask");
  RemoveObserver(observer, "DidCancel");
  return AppErr::kNoErr;
}

eAppErr ProgressReport::AddStatusReport(const KsRef<KsObject>& report) {
  const eAppErr err = m_statusReports->AddObject(report);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "AddStatusReport");
  NoteActivity();
  return err;
}

eAppErr ProgressReport::AddStatusReportForAppErr(eAppErr appErr) {
  auto report = KsMakeRef<StatusReport>();
  report->SetStatus(appErr);
  return AddStatusReport(report);
}
