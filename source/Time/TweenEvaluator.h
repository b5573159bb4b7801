#pragma once

#include "Time/HcTween.h"
#include "Time/HcClock.h"

// Evaluates another tween on a third clock's time: ticked by the clock that
// holds it, the inner tween runs at EvalClock's time with EvalClock as its clock.
class TweenEvaluator : public HcTween {
  HC_CLASS_HEADER(TweenEvaluator)
 public:
  enum : int32_t { kTweenId = 300, kEvalClockId = 301 };

  TweenEvaluator();
  ~TweenEvaluator() override;

  // 0 without a tween or a clock.
  eAppErr DoEvaluate(double t, const KsRef<HcClock>& clock) override;

  KsRef<HcTween> GetTween() const { return m_tween; }
  eAppErr SetTween(const KsRef<HcTween>& tween);
  KsRef<HcClock> GetEvalClock() const { return m_evalClock; }
  eAppErr SetEvalClock(const KsRef<HcClock>& clock);

 private:
  KsRef<HcTween> m_tween;
  KsRef<HcClock> m_evalClock;
};
HC_CLASS_OBJECT(TweenEvaluator, HcTween)
