#include "General/FloatCollection.h"
#include "Time/FloatBindingTupleCollection.h"
#include "Time/FloatSequenceTween.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(FloatSequenceTween, HcTween, "FloatSequenceTween")
void FloatSequenceTween::FloatSequenceTweenClass::SetupProperties() {
  using namespace KsPropertyType;
  using F = FloatSequenceTween;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<F, FloatCollection>::Create(self, kTimestampsId, "Timestamps", true,
                                                                    &F::GetTimestamps, &F::SetTimestamps));
  AddProperty(HcPropertyDirectGet<F, int32_t>::Create(self, kInterpolatorId, kInt, "Interpolator", true,
                                                      &F::GetInterpolator, &F::SetInterpolator));
  AddProperty(HcPropertyDirectGet<F, double>::Create(self, kTimeOffsetId, kDouble, "TimeOffset", true,
                                                     &F::GetTimeOffset, &F::SetTimeOffset));
  AddProperty(HcPropertyObjectDirectGet<F, FloatBindingTupleCollection>::Create(self, kBindingsId, "Bindings", true,
                                                                                &F::GetBindings, &F::SetBindings));
}
