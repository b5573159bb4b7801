#pragma once

// Observers and helpers the report suites share.

#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

#include "General/KsObject.h"
#include "InterfaceCommon/ProgressReport.h"
#include "RegisterAllClasses.h"
#include "Utilities/HcProperty.h"

// Remembers the ids of the notices it is told, in order.
class NoticeLog : public KsObject {
 public:
  void ObservePropertyChange(const KsRef<KsObject>&, const KsRef<HcProperty>& property,
                             const KsRef<KsObject>&) override {
    std::lock_guard<std::mutex> guard(m_lock);
    ids.push_back(property ? property->GetPropertyID() : -1);
  }
  std::vector<int32_t> Ids() {
    std::lock_guard<std::mutex> guard(m_lock);
    return ids;
  }
  int Count(int32_t id) {
    int count = 0;
    for (int32_t seen : Ids()) count += seen == id;
    return count;
  }
  void Watch(const KsRef<KsObject>& object, std::initializer_list<int32_t> propertyIds) {
    for (int32_t id : propertyIds) object->AddObserverForId(KsRef<KsObject>(this), id, 0);
  }

 private:
  std::mutex m_lock;
  std::vector<int32_t> ids;
};

// Does the work of a report's task: each "DidTask" runs the step function
// with the report that asked.
class Stepper : public KsObject {
 public:
  explicit Stepper(std::function<void(ProgressReport&)> step) : m_step(std::move(step)) {}
  void ObservePropertyChange(const KsRef<KsObject>& object, const KsRef<HcProperty>& property,
                             const KsRef<KsObject>&) override {
    if (!property || property->GetPropertyID() != ProgressReport::kDidTaskId) return;
    ++steps;
    if (auto report = object.DynamicCast<ProgressReport>()) m_step(*report);
  }
  std::atomic<int> steps{0};

 private:
  std::function<void(ProgressReport&)> m_step;
};

inline void EnsureClassesRegistered() {
  static const bool registered = [] {
    RegisterAllClasses();
    return true;
  }();
  (void)registered;
}
