#include "Utilities/KsOperation.h"

#include <utility>

#include "KsTrace.h"

KsOperation::KsOperation() = default;

KsOperation::~KsOperation() = default;

KsRef<ProgressReport> KsOperation::GetProgressReport() const {
  WeakRef::Ref weak;
  {
    std::lock_guard<std::mutex> guard(m_reportLock);
    weak = m_report;
  }
  if (!weak) return {};
  return weak->GetTargetAs<ProgressReport>();
}

KsRef<ProgressReport> KsOperation::Start() {
  KsRef<ProgressReport> report = GetProgressReport();
  if (!report) report = KsMakeRef<ProgressReport>();
  switch (GetOperationState()) {
    case kReady:
      report->SetStatus(ProgressReport::kRunning);
      SetOperationState(kRunning);
      AttachToProgressReport(report);
      return report;
    case kRunning:
      return GetProgressReport();
    case kInactive:
      report->SetStatus(kInactiveStart);
      return report;
    case kTerminated:
      report->SetStatus(kTerminatedStart);
      return report;
    default:
      return report;
  }
}

eAppErr KsOperation::Task(const KsRef<ProgressReport>&) {
  switch (GetOperationState()) {
    case kReady:
      Start();
      return AppErr::kNoErr;
    case kInactive:
      return KS_TRACE_ERR(kInactiveStart, "Task");
    case kTerminated:
      return KS_TRACE_ERR(kTerminatedStart, "Task");
    default:
      return AppErr::kNoErr;
  }
}

eAppErr KsOperation::Cancel(const KsRef<ProgressReport>& report) {
  const int32_t state = GetOperationState();
  if (state == kInactive) return KS_TRACE_ERR(kInactiveCancel, "Cancel");
  if (state < kInactive || state > kTerminated) return AppErr::kNoErr;
  SetOperationState(kTerminated);
  KsRef<ProgressReport> target = report ? report : GetProgressReport();
  // A task that already ended keeps its outcome.
  if (target) {
    const eAppErr status = target->GetStatus();
    if (status != ProgressReport::kDone && status != ProgressReport::kFailed) {
      target->SetStatus(ProgressReport::kCancelled);
    }
  }
  return ProgressReport::kCancelled;
}

eAppErr KsOperation::AttachToProgressReport(const KsRef<ProgressReport>& report) {
  if (!report) return KS_TRACE_ERR(AppErr::kBadArgument, "AttachToProgressReport");
  if (GetProgressReport() == report) return AppErr::kNoErr;
  KsRef<KsObject> self(this);
  report->AddStandardObservationsForObserver(self);
  report->SetOperationKeepAlive(self);
  WeakRef::Ref weak = WeakRef::GetWeakRef(report.Get());
  std::lock_guard<std::mutex> guard(m_reportLock);
  m_report = std::move(weak);
  return AppErr::kNoErr;
}

eAppErr KsOperation::DetachFromProgressReport(const KsRef<ProgressReport>& report) {
  if (!report) return KS_TRACE_ERR(AppErr::kBadArgument, "DetachFromProgressReport");
  // Held until the end: clearing the keep-alive below may drop the last
  // other reference to this operation.
  KsRef<KsObject> self(this);
  report->RemoveStandardObservationsForObserver(self);
  WeakRef::Ref released;
  {
    std::lock_guard<std::mutex> guard(m_reportLock);
    released = std::move(m_report);
    m_report = nullptr;
  }
  if (report->GetOperationKeepAlive() == self) report->SetOperationKeepAlive(KsRef<KsObject>());
  return AppErr::kNoErr;
}

eAppErr KsOperation::FailWithAppErr(eAppErr error) {
  if (KsRef<ProgressReport> report = GetProgressReport()) {
    report->AddStatusReportForAppErr(error);
    report->SetStatus(ProgressReport::kFailed);
  }
  SetOperationState(kTerminated);
  return KS_TRACE_ERR(ProgressReport::kFailed, "FailWithAppErr");
}

void KsOperation::ObservePropertyChange(const KsRef<KsObject>& object, const KsRef<HcProperty>& property,
                                        const KsRef<KsObject>&) {
  KsRef<ProgressReport> report = object.DynamicCast<ProgressReport>();
  if (!report || !property) return;
  if (GetOperationState() > kRunning) {
    KS_TRACE(KsTrace::kVerbose, "Received request when operation is terminated. Please stop hitting me.");
    return;
  }
  switch (property->GetPropertyID()) {
    case ProgressReport::kDidCancelId: Cancel(report); break;
    case ProgressReport::kDidTaskId: Task(report); break;
    default: break;
  }
}
