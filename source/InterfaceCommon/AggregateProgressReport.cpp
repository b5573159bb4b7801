#include "InterfaceCommon/AggregateProgressReport.h"

#include "KsTrace.h"

AggregateProgressReport::AggregateProgressReport() : m_progressReports(KsMakeRef<ProgressReportCollection>()) {}

AggregateProgressReport::~AggregateProgressReport() = default;

std::vector<KsRef<ProgressReport>> AggregateProgressReport::Children() const {
  std::vector<KsRef<ProgressReport>> children;
  const uint32_t count = m_progressReports->GetCount();
  children.reserve(count);
  for (uint32_t index = 0; index < count; ++index) {
    if (KsRef<ProgressReport> child = m_progressReports->GetByIndex(index)) children.push_back(child);
  }
  return children;
}

eAppErr AggregateProgressReport::AddReport(const KsRef<ProgressReport>& report) {
  if (!report) return KS_TRACE_ERR(AppErr::kBadArgument, "AddReport");
  m_progressReports->Add(report);
  MergeStatusReports(report->GetStatusReports());
  ObserveReport(report);
  OnChildStatus(report);
  return AppErr::kNoErr;
}

eAppErr AggregateProgressReport::RemoveReport(const KsRef<ProgressReport>& report) {
  if (!report) return KS_TRACE_ERR(AppErr::kBadArgument, "RemoveReport");
  m_progressReports->RemoveObject(report);
  StopObservingReport(report);
  RecountChildren();
  return AppErr::kNoErr;
}

eAppErr AggregateProgressReport::SetProgressReports(const KsRef<ProgressReportCollection>& reports) {
  // Taken first: the given collection may be this report's own.
  std::vector<KsRef<ProgressReport>> incoming;
  if (reports) {
    for (uint32_t index = 0; index < reports->GetCount(); ++index) {
      if (KsRef<ProgressReport> report = reports->GetByIndex(index)) incoming.push_back(report);
    }
  }
  for (const KsRef<ProgressReport>& child : Children()) StopObservingReport(child);
  m_progressReports->RemoveAllObjects();
  for (const KsRef<ProgressReport>& report : incoming) AddReport(report);
  RecountChildren();
  return AppErr::kNoErr;
}

eAppErr AggregateProgressReport::SetSimultaneousTasks(int32_t count) {
  DidChangeCaller change(this, kSimultaneousTasksId);
  m_simultaneousTasks = count;
  return AppErr::kNoErr;
}

eAppErr AggregateProgressReport::SetWeightingMode(int32_t mode) {
  DidChangeCaller change(this, kWeightingModeId);
  m_weightingMode = mode;
  return AppErr::kNoErr;
}

eAppErr AggregateProgressReport::SetCancelOnError(bool cancelOnError) {
  DidChangeCaller change(this, kCancelOnErrorId);
  m_cancelOnError = cancelOnError;
  return AppErr::kNoErr;
}

void AggregateProgressReport::RecountChildren() {
  m_waitingCount = m_runningCount = m_doneCount = m_cancelledCount = m_failedCount = 0;
  m_pollingChildCount = 0;
  for (const KsRef<ProgressReport>& child : Children()) {
    switch (child->GetStatus()) {
      case kWaiting: ++m_waitingCount; break;
      case kRunning: ++m_runningCount; break;
      case kDone: ++m_doneCount; break;
      case kCancelled: ++m_cancelledCount; break;
      case kFailed: ++m_failedCount; break;
      default: break;
    }
    if (child->GetTaskMode() == 1) ++m_pollingChildCount;
  }
  RollUpStatus();
}

void AggregateProgressReport::RollUpStatus() {
  const int32_t count = static_cast<int32_t>(m_progressReports->GetCount());
  eAppErr status = AppErr::kNoErr;
  if (m_waitingCount == count) {
    status = kWaiting;
  } else if (m_doneCount == count) {
    status = kDone;
  } else if (m_runningCount > 0) {
    status = kRunning;
  }
  if (m_cancelledCount + m_doneCount + m_failedCount == count) {
    status = m_failedCount > 0 ? kFailed : (m_cancelledCount > 0 ? kCancelled : kDone);
  }
  if (status != m_status.load()) SetStatus(status);
}

float AggregateProgressReport::GetProgress() const {
  float sum = 0.0f;
  float weight = 0.0f;
  for (const KsRef<ProgressReport>& child : Children()) {
    const float maximum = child->GetMaxProgress();
    if (m_weightingMode == kWeightEqually) {
      if (maximum != 0.0f) sum += child->GetProgress() / maximum;
      weight += 1.0f;
    } else if (m_weightingMode == kWeightBySize) {
      sum += child->GetProgress();
      weight += maximum;
    }
  }
  return weight == 0.0f ? 0.0f : sum / weight;
}

eAppErr AggregateProgressReport::Task() {
  int32_t started = 0;
  for (const KsRef<ProgressReport>& child : Children()) {
    const eAppErr status = child->GetStatus();
    if (status != kWaiting && status != kRunning) continue;
    const eAppErr err = child->Task();
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "Task");
    // The aggregate shows the child it stepped last.
    SetName(child->GetName());
    SetDescription(child->GetDescription());
    if (++started == m_simultaneousTasks) break;
  }
  RecountChildren();
  return AppErr::kNoErr;
}

eAppErr AggregateProgressReport::Wait() {
  eAppErr result = AppErr::kNoErr;
  if (m_simultaneousTasks == 1) {
    for (const KsRef<ProgressReport>& child : Children()) {
      result = child->Wait();
      if (AppErrFailed(result)) return KS_TRACE_ERR(result, "Wait");
    }
    return result;
  }
  int quietSteps = 0;
  for (;;) {
    const uint64_t activity = GetActivity();
    result = Task();
    if (AppErrFailed(result)) return KS_TRACE_ERR(result, "Wait");
    if (m_status.load() != kRunning) return result;
    PauseIfQuiet(activity, quietSteps);
  }
}

eAppErr AggregateProgressReport::CancelOperation() {
  if (m_isCancelling) return AppErr::kNoErr;
  m_isCancelling = true;
  for (const KsRef<ProgressReport>& child : Children()) {
    if (child->GetStatus() == kRunning) child->CancelOperation();
  }
  // A bare child's cancel announces no status: count now, so that the
  // aggregate (and whoever waits on it) sees the cancellation at once.
  RecountChildren();
  return AppErr::kNoErr;
}

void AggregateProgressReport::ObservePropertyChange(const KsRef<KsObject>& object,
                                                    const KsRef<HcProperty>& property,
                                                    const KsRef<KsObject>& description) {
  if (KsRef<StatusReportCollection> reports = object.DynamicCast<StatusReportCollection>()) {
    MergeStatusReports(reports);
    NoteActivity();
    return;
  }
  KsRef<ProgressReport> child = object.DynamicCast<ProgressReport>();
  if (!child || !property) return;
  NoteActivity();
  switch (property->GetPropertyID()) {
    case kProgressId: AnnounceProgressChange(); break;
    case kTaskModeId: RecountChildren(); break;
    case kStatusId: OnChildStatus(child); break;
    default: break;
  }
}

void AggregateProgressReport::AnnounceProgressChange() {
  DidChangeCaller progressChange(this, kProgressId);
  DidChangeCaller percentChange(this, kPercentCompleteId);
}

void AggregateProgressReport::OnChildStatus(const KsRef<ProgressReport>& child) {
  const eAppErr status = child->GetStatus();
  if (status == kDone) {
    if (child->GetTaskMode() == 2) Task();
  } else if (status == kFailed) {
    if (m_cancelOnError) CancelOperation();
  }
  RecountChildren();
}

void AggregateProgressReport::MergeStatusReports(const KsRef<StatusReportCollection>& reports) {
  if (!reports) return;
  KsRef<StatusReportCollection> own = ProgressReport::GetStatusReports();
  for (uint32_t index = 0; index < reports->GetCount(); ++index) {
    KsRef<StatusReport> entry = reports->GetByIndex(index);
    if (entry && !own->ContainsObject(entry)) own->AddObject(entry);
  }
}

namespace {

KsRef<HcProperty> ElementPropertyOf(const KsRef<StatusReportCollection>& reports) {
  KsRef<HcProperty> element;
  if (reports) reports->GetClassObject()->GetElementProperty(element);
  return element;
}

}  // namespace

void AggregateProgressReport::ObserveReport(const KsRef<ProgressReport>& child) {
  KsRef<KsObject> self(this);
  child->AddObserverForId(self, kStatusId, 0);
  child->AddObserverForId(self, kProgressId, 0);
  child->AddObserverForId(self, kTaskModeId, 0);
  KsRef<StatusReportCollection> reports = child->GetStatusReports();
  if (KsRef<HcProperty> element = ElementPropertyOf(reports)) reports->AddObserver(self, element->GetName(), 0);
}

void AggregateProgressReport::StopObservingReport(const KsRef<ProgressReport>& child) {
  KsRef<KsObject> self(this);
  child->RemoveObserverForId(self, kStatusId);
  child->RemoveObserverForId(self, kProgressId);
  child->RemoveObserverForId(self, kTaskModeId);
  KsRef<StatusReportCollection> reports = child->GetStatusReports();
  if (KsRef<HcProperty> element = ElementPropertyOf(reports)) reports->RemoveObserver(self, element->GetName());
}
