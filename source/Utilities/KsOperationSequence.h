#pragma once

#include <cstdint>

#include "General/FloatCollection.h"
#include "Utilities/KsOperation.h"
#include "Utilities/KsOperationCollection.h"

// Runs a list of operations one after another behind one report. Each
// operation may carry a weight (1.0 when none is given); the report counts
// finished operations by their weights and the running one by its weight
// times its own progress fraction, and mirrors the running operation's
// status, flags, task mode and name.
class KsOperationSequence : public KsOperation {
  HC_CLASS_HEADER(KsOperationSequence)
 public:
  enum : int32_t { kOperationSequenceId = 300, kOperationWeightsId = 301 };

  KsOperationSequence();
  ~KsOperationSequence() override;

  void ObservePropertyChange(const KsRef<KsObject>& object, const KsRef<HcProperty>& property,
                             const KsRef<KsObject>& description) override;
  KsRef<ProgressReport> Start() override;
  eAppErr Task(const KsRef<ProgressReport>& report) override;
  eAppErr Cancel(const KsRef<ProgressReport>& report) override;
  // Sets the report's progress to 0, its maximum to `extra` plus the total
  // weight and its task mode to 1.
  virtual eAppErr PrepareReport(const KsRef<ProgressReport>& report, float extra);
  virtual eAppErr FinishSequence(const KsRef<ProgressReport>& report);

  KsRef<KsOperationCollection> GetOperationSequence() const { return m_operationSequence; }
  eAppErr SetOperationSequence(const KsRef<KsOperationCollection>& operations);
  KsRef<FloatCollection> GetOperationWeights() const { return m_operationWeights; }
  eAppErr SetOperationWeights(const KsRef<FloatCollection>& weights);

 private:
  float WeightAt(uint32_t index) const;
  uint32_t OperationCount() const;
  void UpdateProgress();
  void AdvanceToNextOperation();
  void SyncTaskMode();
  void ObserveCurrentReport();
  void StopObservingFinishedReport();
  void OnCurrentStatus();

  KsRef<KsOperationCollection> m_operationSequence;
  KsRef<FloatCollection> m_operationWeights;
  KsRef<KsOperation> m_currentOperation;
  KsRef<ProgressReport> m_currentReport;
  KsRef<ProgressReport> m_finishedReport;
  uint32_t m_currentIndex = 0;
  float m_completedWeight = 0.0f;
};
HC_CLASS_OBJECT(KsOperationSequence, KsOperation)
