#pragma once

#include <cstdint>
#include <vector>

#include "InterfaceCommon/ProgressReport.h"
#include "InterfaceCommon/ProgressReportCollection.h"

// A progress report standing for a group of child reports: it steps the
// children a limited number at a time, rolls their statuses up into its own,
// combines their progress, gathers their status entries and cancels them on
// request or on the first failure. Everything it reports derives from the
// children, which it observes.
class AggregateProgressReport : public ProgressReport {
  HC_CLASS_HEADER(AggregateProgressReport)
 public:
  enum : int32_t {
    kProgressReportsId = 400,
    kSimultaneousTasksId = 401,
    kWeightingModeId = 402,
    kCancelOnErrorId = 403,
  };
  // Every child counts the same / children weigh by their maximum.
  enum : int32_t { kWeightEqually = 1, kWeightBySize = 2 };

  AggregateProgressReport();
  ~AggregateProgressReport() override;

  void ObservePropertyChange(const KsRef<KsObject>& object, const KsRef<HcProperty>& property,
                             const KsRef<KsObject>& description) override;
  // The children's combined progress; 0 when their total weight is 0.
  float GetProgress() const override;
  bool GetIsIndeterminate() const override { return false; }
  bool GetCanCancel() const override { return true; }
  // 1 while a child is driven by stepping (task mode 1), else 6.
  int32_t GetTaskMode() const override { return m_pollingChildCount > 0 ? 1 : 6; }
  eAppErr CancelOperation() override;
  eAppErr Wait() override;
  eAppErr Task() override;

  eAppErr AddReport(const KsRef<ProgressReport>& report);
  eAppErr RemoveReport(const KsRef<ProgressReport>& report);

  KsRef<ProgressReportCollection> GetProgressReports() const { return m_progressReports; }
  // Replaces the children with the elements of the collection (which is not
  // kept); null leaves no children.
  eAppErr SetProgressReports(const KsRef<ProgressReportCollection>& reports);
  int32_t GetSimultaneousTasks() const { return m_simultaneousTasks; }
  eAppErr SetSimultaneousTasks(int32_t count);
  int32_t GetWeightingMode() const { return m_weightingMode; }
  eAppErr SetWeightingMode(int32_t mode);
  bool GetCancelOnError() const { return m_cancelOnError; }
  eAppErr SetCancelOnError(bool cancelOnError);

  KsRef<AggregateProgressReport> ThisRef() { return KsRef<AggregateProgressReport>(this); }

 private:
  void RecountChildren();
  void RollUpStatus();
  void OnChildStatus(const KsRef<ProgressReport>& child);
  void MergeStatusReports(const KsRef<StatusReportCollection>& reports);
  void ObserveReport(const KsRef<ProgressReport>& child);
  void StopObservingReport(const KsRef<ProgressReport>& child);
  void AnnounceProgressChange();
  // The children now, so that a step may change the collection.
  std::vector<KsRef<ProgressReport>> Children() const;

  KsRef<ProgressReportCollection> m_progressReports;
  int32_t m_simultaneousTasks = 1;
  int32_t m_weightingMode = kWeightBySize;
  int32_t m_waitingCount = 0;
  int32_t m_runningCount = 0;
  int32_t m_doneCount = 0;
  int32_t m_cancelledCount = 0;
  int32_t m_failedCount = 0;
  int32_t m_pollingChildCount = 0;
  bool m_isCancelling = false;
  bool m_cancelOnError = false;
};
HC_CLASS_OBJECT(AggregateProgressReport, ProgressReport)
