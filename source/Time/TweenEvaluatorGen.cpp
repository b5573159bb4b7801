#include "Time/HcClock.h"
#include "Time/TweenEvaluator.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(TweenEvaluator, HcTween, "TweenEvaluator")
void TweenEvaluator::TweenEvaluatorClass::SetupProperties() {
  using F = TweenEvaluator;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<F, HcTween>::Create(self, kTweenId, "Tween", true, &F::GetTween, &F::SetTween));
  AddProperty(HcPropertyObjectDirectGet<F, HcClock>::Create(self, kEvalClockId, "EvalClock", true, &F::GetEvalClock,
                                                            &F::SetEvalClock));
}
