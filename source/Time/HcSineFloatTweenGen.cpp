#include "Time/HcSineFloatTween.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(HcSineFloatTween, HcPropertyTween, "HcSineFloatTween")
void HcSineFloatTween::HcSineFloatTweenClass::SetupProperties() {
  using namespace KsPropertyType;
  using F = HcSineFloatTween;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(
      HcPropertyDirectGet<F, float>::Create(self, kPeriodId, kFloat, "Period", true, &F::GetPeriod, &F::SetPeriod));
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kAmplitudeId, kFloat, "Amplitude", true, &F::GetAmplitude,
                                                    &F::SetAmplitude));
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kStartPhaseId, kFloat, "StartPhase", true,
                                                    &F::GetStartPhase, &F::SetStartPhase));
  AddProperty(
      HcPropertyDirectGet<F, float>::Create(self, kOffsetId, kFloat, "Offset", true, &F::GetOffset, &F::SetOffset));
}
