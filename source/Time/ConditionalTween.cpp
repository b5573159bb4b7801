#include "Time/ConditionalTween.h"

#include "KsTrace.h"

ConditionalTween::ConditionalTween() = default;
ConditionalTween::~ConditionalTween() = default;

eAppErr ConditionalTween::DoEvaluate(double t, const KsRef<HcClock>& clock) {
  KsRef<HcTween> chosen = EvaluateCondition() ? m_trueTween : m_falseTween;
  if (!chosen) return kNothingDone;
  const eAppErr result = EvaluateNested(chosen, t, clock);
  if (AppErrFailed(result)) return KS_TRACE_ERR(result, "DoEvaluate");
  return result;
}

eAppErr ConditionalTween::SetTrueTween(const KsRef<HcTween>& tween) {
  m_trueTween = tween;
  return AppErr::kNoErr;
}

eAppErr ConditionalTween::SetFalseTween(const KsRef<HcTween>& tween) {
  m_falseTween = tween;
  return AppErr::kNoErr;
}
