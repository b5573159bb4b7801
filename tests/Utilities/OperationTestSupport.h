#pragma once

// Operations and observers the operation and file-manager suites share.

#include <mutex>
#include <vector>

#include "General/KsObject.h"
#include "InterfaceCommon/ProgressReport.h"
#include "RegisterAllClasses.h"
#include "Utilities/HcProperty.h"
#include "Utilities/KsOperation.h"

namespace operations_test {

// Remembers the ids of the notices it is told, and the report's status and
// progress at each.
class ReportWatcher : public KsObject {
 public:
  struct Notice {
    int32_t id;
    eAppErr status;
    float progress;
  };
  void ObservePropertyChange(const KsRef<KsObject>& object, const KsRef<HcProperty>& property,
                             const KsRef<KsObject>&) override {
    auto report = object.DynamicCast<ProgressReport>();
    std::lock_guard<std::mutex> guard(m_lock);
    notices.push_back({property ? property->GetPropertyID() : -1, report ? report->GetStatus() : 0,
                       report ? report->GetProgress() : 0.0f});
  }
  void Watch(const KsRef<KsObject>& object, std::initializer_list<int32_t> ids) {
    for (int32_t id : ids) object->AddObserverForId(KsRef<KsObject>(this), id, 0);
  }
  std::vector<Notice> Notices() {
    std::lock_guard<std::mutex> guard(m_lock);
    return notices;
  }

 private:
  std::mutex m_lock;
  std::vector<Notice> notices;
};

// An operation whose report runs from 0 to `steps` in task mode 1, one unit
// per Task; it may finish at its start, or fail at a chosen step.
class ScriptedOperation : public KsOperation {
 public:
  explicit ScriptedOperation(int steps, int failAtStep = 0) : m_steps(steps), m_failAtStep(failAtStep) {}

  KsRef<ProgressReport> Start() override {
    KsRef<ProgressReport> report = KsOperation::Start();
    if (!report) return report;
    report->SetName("scripted");
    report->SetMaxProgress(static_cast<float>(m_steps));
    report->SetProgress(0.0f);
    report->SetTaskMode(1);
    if (m_steps == 0) report->SetStatus(ProgressReport::kDone);
    return report;
  }

  eAppErr Task(const KsRef<ProgressReport>& report) override {
    if (GetOperationState() != kRunning) return KsOperation::Task(report);
    ++tasks;
    if (!report || report->GetStatus() != ProgressReport::kRunning) return AppErr::kNoErr;
    const float done = report->GetProgress() + 1.0f;
    if (m_failAtStep > 0 && static_cast<int>(done) == m_failAtStep) return FailWithAppErr(-36);
    report->SetProgress(done);
    if (done >= static_cast<float>(m_steps)) report->SetStatus(ProgressReport::kDone);
    return AppErr::kNoErr;
  }

  int tasks = 0;

 private:
  int m_steps;
  int m_failAtStep;
};

inline void RegisterOnce() {
  static const bool registered = [] {
    RegisterAllClasses();
    return true;
  }();
  (void)registered;
}

}  // namespace operations_test
