#include "Utilities/KsOperationSequence.h"

#include "KsTrace.h"

namespace {

// The report properties a sequence follows on its current operation's report.
constexpr int32_t kFollowedIds[] = {ProgressReport::kTaskModeId,       ProgressReport::kProgressId,
                                    ProgressReport::kMaxProgressId,    ProgressReport::kStatusId,
                                    ProgressReport::kIsIndeterminateId, ProgressReport::kCanCancelId};

}  // namespace

KsOperationSequence::KsOperationSequence()
    : m_operationSequence(KsMakeRef<KsOperationCollection>()), m_operationWeights(KsMakeRef<FloatCollection>()) {}

KsOperationSequence::~KsOperationSequence() = default;

eAppErr KsOperationSequence::SetOperationSequence(const KsRef<KsOperationCollection>& operations) {
  DidChangeCaller change(this, kOperationSequenceId);
  m_operationSequence = operations;
  return AppErr::kNoErr;
}

eAppErr KsOperationSequence::SetOperationWeights(const KsRef<FloatCollection>& weights) {
  DidChangeCaller change(this, kOperationWeightsId);
  m_operationWeights = weights;
  return AppErr::kNoErr;
}

uint32_t KsOperationSequence::OperationCount() const {
  return m_operationSequence ? m_operationSequence->GetCount() : 0;
}

float KsOperationSequence::WeightAt(uint32_t index) const {
  if (m_operationWeights && index < m_operationWeights->GetCount()) return m_operationWeights->GetByIndex(index);
  return 1.0f;
}

eAppErr KsOperationSequence::PrepareReport(const KsRef<ProgressReport>& report, float extra) {
  if (!report) return KS_TRACE_ERR(AppErr::kBadArgument, "PrepareReport");
  float total = 0.0f;
  for (uint32_t index = 0; index < OperationCount(); ++index) total += WeightAt(index);
  report->SetProgress(0.0f);
  report->SetMaxProgress(extra + total);
  report->SetTaskMode(1);
  return AppErr::kNoErr;
}

KsRef<ProgressReport> KsOperationSequence::Start() {
  KsRef<ProgressReport> report = KsOperation::Start();
  if (report) PrepareReport(report, 0.0f);
  m_completedWeight = 0.0f;
  return report;
}

eAppErr KsOperationSequence::FinishSequence(const KsRef<ProgressReport>& report) {
  if (report) report->SetStatus(ProgressReport::kDone);
  SetOperationState(kTerminated);
  StopObservingFinishedReport();
  return AppErr::kNoErr;
}

eAppErr KsOperationSequence::Task(const KsRef<ProgressReport>& report) {
  const eAppErr err = KsOperation::Task(report);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "Task");
  if (m_currentOperation) return m_currentOperation->Task(m_currentReport);
  if (m_currentIndex >= OperationCount()) return FinishSequence(report);

  m_currentOperation = m_operationSequence->GetByIndex(m_currentIndex);
  if (!m_currentOperation) return FailWithAppErr(AppErr::kBadArgument);
  m_currentReport = m_currentOperation->Start();
  if (!m_currentReport) {
    m_currentOperation = nullptr;
    return FailWithAppErr(AppErr::kNotReady);
  }
  if (KsRef<ProgressReport> own = GetProgressReport()) {
    // An operation done at its start still leaves the sequence running: the
    // next step moves on, and only the step after the last finishes it.
    const eAppErr status = m_currentReport->GetStatus();
    own->SetStatus(status == ProgressReport::kDone ? ProgressReport::kRunning : status);
    own->SetIsIndeterminate(m_currentReport->GetIsIndeterminate());
    own->SetCanCancel(m_currentReport->GetCanCancel());
    own->SetName(m_currentReport->GetName());
  }
  UpdateProgress();
  ObserveCurrentReport();
  SyncTaskMode();
  return err;
}

void KsOperationSequence::UpdateProgress() {
  KsRef<ProgressReport> own = GetProgressReport();
  if (!own || !m_currentReport) return;
  const float maximum = m_currentReport->GetMaxProgress();
  const float fraction = maximum != 0.0f ? m_currentReport->GetProgress() / maximum : 0.0f;
  own->SetProgress(WeightAt(m_currentIndex) * fraction + m_completedWeight);
}

void KsOperationSequence::AdvanceToNextOperation() {
  m_completedWeight += WeightAt(m_currentIndex);
  m_currentOperation = nullptr;
  m_finishedReport = m_currentReport;
  m_currentReport = nullptr;
  ++m_currentIndex;
  if (KsRef<ProgressReport> own = GetProgressReport()) own->SetTaskMode(1);
}

void KsOperationSequence::SyncTaskMode() {
  if (!m_currentReport) return;
  if (m_currentReport->GetStatus() == ProgressReport::kDone) {
    AdvanceToNextOperation();
  } else if (KsRef<ProgressReport> own = GetProgressReport()) {
    own->SetTaskMode(m_currentReport->GetTaskMode());
  }
}

void KsOperationSequence::ObserveCurrentReport() {
  StopObservingFinishedReport();
  if (!m_currentReport) return;
  KsRef<KsObject> self(this);
  for (int32_t id : kFollowedIds) m_currentReport->AddObserverForId(self, id, 0);
}

void KsOperationSequence::StopObservingFinishedReport() {
  if (!m_finishedReport) return;
  KsRef<KsObject> self(this);
  for (int32_t id : kFollowedIds) m_finishedReport->RemoveObserverForId(self, id);
  m_finishedReport = nullptr;
}

void KsOperationSequence::OnCurrentStatus() {
  const eAppErr status = m_currentReport->GetStatus();
  if (status == ProgressReport::kDone) {
    AdvanceToNextOperation();
  } else if (status == ProgressReport::kCancelled) {
    // A cancelled step cancels the whole sequence (once).
    if (GetOperationState() != kTerminated) Cancel(GetProgressReport());
  } else if (AppErrFailed(status)) {
    if (KsRef<ProgressReport> own = GetProgressReport()) own->SetStatus(status);
  }
}

void KsOperationSequence::ObservePropertyChange(const KsRef<KsObject>& object, const KsRef<HcProperty>& property,
                                                const KsRef<KsObject>& description) {
  KsRef<ProgressReport> report = object.DynamicCast<ProgressReport>();
  if (!report || !property) return;
  if (!m_currentReport || report != m_currentReport) {
    KsOperation::ObservePropertyChange(object, property, description);
    return;
  }
  KsRef<ProgressReport> own = GetProgressReport();
  switch (property->GetPropertyID()) {
    case ProgressReport::kProgressId:
    case ProgressReport::kMaxProgressId: UpdateProgress(); break;
    case ProgressReport::kStatusId: OnCurrentStatus(); break;
    case ProgressReport::kIsIndeterminateId:
      if (own) own->SetIsIndeterminate(m_currentReport->GetIsIndeterminate());
      break;
    case ProgressReport::kCanCancelId:
      if (own) own->SetCanCancel(m_currentReport->GetCanCancel());
      break;
    case ProgressReport::kTaskModeId: SyncTaskMode(); break;
    default: break;
  }
}

eAppErr KsOperationSequence::Cancel(const KsRef<ProgressReport>& report) {
  eAppErr result = KsOperation::Cancel(report);
  if (AppErrFailed(result)) return KS_TRACE_ERR(result, "Cancel");
  if (m_currentOperation) {
    result = m_currentOperation->Cancel(m_currentReport);
    if (result == ProgressReport::kCancelRefused) return KS_TRACE_ERR(result, "Cancel");
  }
  for (uint32_t index = m_currentIndex + 1; index < OperationCount(); ++index) {
    KsRef<KsOperation> operation = m_operationSequence->GetByIndex(index);
    if (operation && operation->GetOperationState() == kRunning) {
      result = operation->Cancel(operation->GetProgressReport());
    }
  }
  SetOperationState(kTerminated);
  return result;
}
