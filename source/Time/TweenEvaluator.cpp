#include "Time/TweenEvaluator.h"

#include "Time/HcClock.h"

TweenEvaluator::TweenEvaluator() = default;
TweenEvaluator::~TweenEvaluator() = default;

eAppErr TweenEvaluator::DoEvaluate(double, const KsRef<HcClock>&) {
  KsRef<HcTween> tween = m_tween;
  KsRef<HcClock> evalClock = m_evalClock;
  if (!tween || !evalClock) return AppErr::kNoErr;
  return EvaluateNested(tween, evalClock->GetTimeNow(), evalClock);
}

eAppErr TweenEvaluator::SetTween(const KsRef<HcTween>& tween) {
  m_tween = tween;
  return AppErr::kNoErr;
}

eAppErr TweenEvaluator::SetEvalClock(const KsRef<HcClock>& clock) {
  m_evalClock = clock;
  return AppErr::kNoErr;
}
