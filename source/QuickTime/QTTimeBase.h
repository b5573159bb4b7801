#pragma once

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"

namespace hc::playback {
class TimeBase;
}

// A time base, held but never made or disposed, exposed by property name:
// its rate and its start, stop and current times in seconds.
class QTTimeBase : public KsObject {
  HC_CLASS_HEADER(QTTimeBase)
 public:
  enum : int32_t { kTimeBaseId = 200, kRateId = 201, kStartTimeId = 202, kStopTimeId = 203, kCurrentTimeId = 204 };
  // Times go through the time base in milliseconds.
  static constexpr int32_t kTimeScale = 1000;

  QTTimeBase();
  ~QTTimeBase() override;

  void* GetTimeBase() const { return m_timeBase; }
  eAppErr SetTimeBase(void* timeBase);
  // The rate in 16.16 fixed point, as the time base keeps it.
  float GetRate() const;
  eAppErr SetRate(float rate);
  double GetStartTime() const;
  eAppErr SetStartTime(double seconds);
  double GetStopTime() const;
  eAppErr SetStopTime(double seconds);
  double GetCurrentTime() const;
  eAppErr SetCurrentTime(double seconds);

  // Seconds to a count of milliseconds: rounded half up, then truncated
  // toward zero, so negative times round toward the larger value.
  static int64_t SecondsToCount(double seconds);

 private:
  hc::playback::TimeBase* m_timeBase = nullptr;
};
HC_CLASS_OBJECT(QTTimeBase, KsObject)
