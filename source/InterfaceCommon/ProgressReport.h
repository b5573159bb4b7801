#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "InterfaceCommon/StatusReport.h"
#include "InterfaceCommon/StatusReportCollection.h"

// The observable state of a long task: status, progress and maximum, the
// status entries the task produced, cancellation and waiting. The party that
// runs the task observes "DidCancel" and "DidTask" (see
// AddStandardObservationsForObserver); a waiting thread either blocks until
// the status changes or, in task modes 1 to 3, performs the task's steps
// itself through Task.
class ProgressReport : public StatusReport {
  HC_CLASS_HEADER(ProgressReport)
 public:
  enum : int32_t {
    kPercentCompleteId = 300,
    kProgressId = 301,
    kMaxProgressId = 302,
    kStatusReportsId = 303,
    kIsIndeterminateId = 304,
    kCanCancelId = 305,
    kTaskModeId = 306,
    kDidCancelId = 307,
    kDidTaskId = 308,
    kOperationReferenceId = 309,
    kOperationKeepAliveId = 310,
  };
  // CancelOperation on a report that may not be cancelled.
  static constexpr eAppErr kCancelRefused = -24;

  ProgressReport();
  ~ProgressReport() override;

  // Codes other than 20-23 and -28 are recorded as status entries and leave
  // the report running (positive) or failed (negative); 0 changes nothing.
  // Every status other than running wakes the waiting threads.
  eAppErr SetStatus(eAppErr status) override;
  virtual float GetProgress() const { return m_progress.load(); }
  virtual float GetMaxProgress() const { return m_maxProgress.load(); }
  virtual void GetStatusReports(KsRef<StatusReportCollection>& reports) const { reports = m_statusReports; }
  virtual bool GetIsIndeterminate() const { return m_isIndeterminate.load(); }
  virtual bool GetCanCancel() const { return m_canCancel.load(); }
  virtual int32_t GetTaskMode() const { return m_taskMode.load(); }
  // Asks the task to stop: the status becomes cancelled and "DidCancel" is
  // announced. A finished task (done, cancelled, failed) stays as it ended.
  virtual eAppErr CancelOperation();
  // Waits for a final status and answers the status (not an error code).
  virtual eAppErr Wait();
  // Asks for one step of the task ("DidTask").
  virtual eAppErr Task();

  KsRef<StatusReportCollection> GetStatusReports() const {
    KsRef<StatusReportCollection> reports;
    GetStatusReports(reports);
    return reports;
  }
  // Progress over maximum, as a fraction.
  float GetPercentComplete() const { return GetProgress() / GetMaxProgress(); }
  eAppErr SetProgress(float progress);
  eAppErr SetMaxProgress(float maxProgress);
  eAppErr SetIsIndeterminate(bool isIndeterminate);
  eAppErr SetCanCancel(bool canCancel);
  eAppErr SetTaskMode(int32_t taskMode);
  void* GetOperationReference() const { return m_operationReference.load(); }
  eAppErr SetOperationReference(void* reference);
  void GetOperationKeepAlive(KsRef<KsObject>& object) const;
  KsRef<KsObject> GetOperationKeepAlive() const;
  eAppErr SetOperationKeepAlive(const KsRef<KsObject>& object);

  eAppErr AddStandardObservationsForObserver(const KsRef<KsObject>& observer);
  eAppErr RemoveStandardObservationsForObserver(const KsRef<KsObject>& observer);
  eAppErr AddStatusReport(const KsRef<KsObject>& report);
  eAppErr AddStatusReportForAppErr(eAppErr appErr);

  static bool IsSteppingMode(int32_t taskMode) { return taskMode >= 1 && taskMode <= 3; }

 protected:
  // Records that something about the report changed (a waiter stepping the
  // task then takes the next step at once instead of pausing).
  void NoteActivity() { m_activity.fetch_add(1, std::memory_order_relaxed); }
  uint64_t GetActivity() const { return m_activity.load(std::memory_order_relaxed); }
  // Between two steps that changed nothing, lets the calling thread's run
  // loop deliver what asynchronous work reports, for a moment that grows
  // with the number of quiet steps, instead of spinning.
  void PauseIfQuiet(uint64_t activityBefore, int& quietSteps);
  // Stores a status and wakes the waiters unless it is "running".
  void StoreStatus(eAppErr status);

 private:
  void UpdateIndeterminate();

  KsRef<StatusReportCollection> m_statusReports;
  std::mutex m_waitLock;
  std::condition_variable m_waitCondition;
  uint64_t m_wakeCount = 0;
  std::atomic<float> m_progress{0.0f};
  std::atomic<float> m_maxProgress{1.0f};
  std::atomic<bool> m_canCancel{true};
  std::atomic<bool> m_isIndeterminate{true};
  std::atomic<int32_t> m_taskMode{0};
  std::atomic<void*> m_operationReference{nullptr};
  mutable std::mutex m_keepAliveLock;
  KsRef<KsObject> m_operationKeepAlive;
  std::atomic<uint64_t> m_activity{0};
};
HC_CLASS_OBJECT(ProgressReport, StatusReport)
