#pragma once

#include "Time/HcClock.h"

// The real-time clock: seconds of the monotonic clock from its fixed origin.
// One instance is shared by the whole process (GetSharedClock); the process
// holds it only weakly, so it lives while anybody holds it and is made anew
// on the next use. Further instances (made by class name) are private clocks,
// such as each context's idle clock. Its time cannot be set.
class QTSystemClock : public HcClock {
  HC_CLASS_HEADER(QTSystemClock)
 public:
  QTSystemClock();
  ~QTSystemClock() override;

  static KsRef<QTSystemClock> GetSharedClock();
  bool IsShared() const { return m_shared; }

  double GetTimeNow() override;

 private:
  bool m_shared = false;
};
HC_CLASS_OBJECT(QTSystemClock, HcClock)
