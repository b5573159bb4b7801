#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "General/WeakRef.h"
#include "InterfaceCommon/ProgressReport.h"

// The base of cancellable long tasks. An operation drives a progress report
// it is attached to: the report holds the operation (its keep-alive
// object), the operation holds the report weakly and answers the report's
// "DidTask" and "DidCancel" requests.
class KsOperation : public KsObject {
  HC_CLASS_HEADER(KsOperation)
 public:
  enum : int32_t { kOperationStateId = 200 };
  enum OperationState : int32_t { kInactive = 0, kReady = 1, kRunning = 2, kTerminated = 3 };
  // Start or task while inactive, cancel while inactive, start or task after
  // termination.
  static constexpr eAppErr kInactiveStart = -25;
  static constexpr eAppErr kInactiveCancel = -26;
  static constexpr eAppErr kTerminatedStart = -27;

  KsOperation();
  ~KsOperation() override;

  void ObservePropertyChange(const KsRef<KsObject>& object, const KsRef<HcProperty>& property,
                             const KsRef<KsObject>& description) override;

  virtual int32_t GetOperationState() const { return m_state.load(); }
  // Starts the operation (attaching a new report when none is attached) and
  // answers its report.
  virtual KsRef<ProgressReport> Start();
  virtual eAppErr Task(const KsRef<ProgressReport>& report);
  // Terminates the operation and marks the report (or, without one, the
  // attached report) cancelled unless it already finished.
  virtual eAppErr Cancel(const KsRef<ProgressReport>& report);
  virtual eAppErr AttachToProgressReport(const KsRef<ProgressReport>& report);
  virtual eAppErr DetachFromProgressReport(const KsRef<ProgressReport>& report);

  // Records the error on the attached report, fails it and terminates.
  eAppErr FailWithAppErr(eAppErr error);
  KsRef<ProgressReport> GetProgressReport() const;
  KsRef<KsOperation> ThisRef() { return KsRef<KsOperation>(this); }

 protected:
  void SetOperationState(int32_t state) { m_state.store(state); }

 private:
  mutable std::mutex m_reportLock;
  WeakRef::Ref m_report;
  std::atomic<int32_t> m_state{kReady};
};
HC_CLASS_OBJECT(KsOperation, KsObject)
