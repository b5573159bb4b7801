#include "Time/MultiTween.h"

#include "Time/HcTweenCollection.h"

MultiTween::MultiTween() = default;
MultiTween::~MultiTween() = default;

eAppErr MultiTween::DoEvaluate(double t, const KsRef<HcClock>& clock) {
  KsRef<HcTweenCollection> tweens = m_tweens;
  if (!tweens) return AppErr::kNoErr;
  eAppErr result = AppErr::kNoErr;
  for (uint32_t i = 0; i < tweens->GetCount(); ++i) {
    KsRef<HcTween> tween = tweens->GetByIndex(i);
    if (!tween) continue;
    result = EvaluateNested(tween, t, clock);
    if (AppErrFailed(result)) return result;
  }
  return result;
}

eAppErr MultiTween::SetTweens(const KsRef<HcTweenCollection>& tweens) {
  m_tweens = tweens;
  return AppErr::kNoErr;
}
