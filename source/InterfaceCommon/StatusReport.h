#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "KsAppErr.h"
#include "PWString.h"

// One status entry of a long task: a status code and a description.
class StatusReport : public KsObject {
  HC_CLASS_HEADER(StatusReport)
 public:
  enum : int32_t { kStatusId = 200, kDescriptionId = 201 };

  // Task statuses (other codes are recorded as entries).
  enum : eAppErr { kWaiting = 20, kRunning = 21, kDone = 22, kCancelled = 23, kFailed = -28 };
  static bool IsFinalStatus(eAppErr status) { return status == kDone || status == kCancelled || status == kFailed; }

  virtual eAppErr GetStatus() const { return m_status.load(std::memory_order_acquire); }
  // Stores the code unchanged; announces nothing itself.
  virtual eAppErr SetStatus(eAppErr status);

  PWStringRef GetDescription() const;
  eAppErr SetDescription(const PWStringRef& description);

 protected:
  // The stored status, written directly by subclasses.
  std::atomic<eAppErr> m_status{0};

 private:
  mutable std::mutex m_descriptionLock;
  PWStringRef m_description;
};
HC_CLASS_OBJECT(StatusReport, KsObject)
