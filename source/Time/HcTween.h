#pragma once

#include <atomic>
#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "General/KsSpinLock.h"

class HcClock;

// A model object that a clock evaluates on every tick at the clock's time:
// while it is enabled and the time lies in its window it does its work
// (DoEvaluate), as a rule writing one property through a binding.
//
// Statuses: 0 ran, 2 nothing done (disabled, or nothing to write), 609
// outside the window [StartTime, EndTime] (a negative bound is open, both
// ends are inside), negative a failure.
//
// The scalar settings may be changed on the main thread while a clock
// evaluates the tween on another; they are atomic for that.
class HcTween : public KsObject {
  HC_CLASS_HEADER(HcTween)
 public:
  enum : int32_t { kStartTimeId = 200, kEndTimeId = 201, kClockId = 202, kEnabledId = 203 };
  static constexpr eAppErr kNothingDone = 2;
  static constexpr eAppErr kOutsideWindow = 609;

  HcTween();
  ~HcTween() override;

  virtual eAppErr Evaluate(double t, const KsRef<HcClock>& clock);
  virtual eAppErr DoEvaluate(double t, const KsRef<HcClock>& clock) = 0;

  double GetStartTime() const { return m_startTime.load(std::memory_order_relaxed); }
  eAppErr SetStartTime(double seconds);
  double GetEndTime() const { return m_endTime.load(std::memory_order_relaxed); }
  eAppErr SetEndTime(double seconds);
  bool GetEnabled() const { return m_enabled.load(std::memory_order_relaxed); }
  eAppErr SetEnabled(bool enabled);

  // The clock that holds the tween attached (weakly); setting it detaches
  // from the old clock and attaches to the new one.
  KsRef<HcClock> GetClock() const;
  eAppErr SetClock(const KsRef<HcClock>& clock);

  KsRef<HcTween> ThisRef() { return KsRef<HcTween>(this); }

  // Whether t lies in [StartTime, EndTime], open where a bound is negative.
  bool IsInWindow(double t) const;

 protected:
  // Stores the clock without attaching to it.
  void StoreClock(const KsRef<HcClock>& clock);
  // Evaluates a tween held by this one. Tweens may hold one another in a
  // circle (HcML can say so); past a fixed depth the evaluation is refused
  // with -2 instead of recursing without end.
  static eAppErr EvaluateNested(const KsRef<HcTween>& tween, double t, const KsRef<HcClock>& clock);

 private:
  std::atomic<bool> m_enabled{true};
  std::atomic<double> m_startTime{-1.0};
  std::atomic<double> m_endTime{-1.0};
  mutable KsSpinLock m_clockLock;
  KsRef<HcClock> m_clock;
};
HC_CLASS_OBJECT(HcTween, KsObject)
