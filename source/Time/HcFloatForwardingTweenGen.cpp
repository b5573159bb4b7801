#include "Time/HcFloatForwardingTween.h"
#include "Utilities/HcPropertyBindingBase.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(HcFloatForwardingTween, HcPropertyTween, "HcFloatForwardingTween")
void HcFloatForwardingTween::HcFloatForwardingTweenClass::SetupProperties() {
  using namespace KsPropertyType;
  using F = HcFloatForwardingTween;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(
      HcPropertyDirectGet<F, float>::Create(self, kScaleId, kFloat, "Scale", true, &F::GetScale, &F::SetScale));
  AddProperty(
      HcPropertyDirectGet<F, float>::Create(self, kOffsetId, kFloat, "Offset", true, &F::GetOffset, &F::SetOffset));
  AddProperty(HcPropertyDirectGet<F, bool>::Create(self, kOptimizeSetsId, kBool, "OptimizeSets", true,
                                                   &F::GetOptimizeSets, &F::SetOptimizeSets));
  AddProperty(HcPropertyObjectDirectGet<F, HcPropertyBindingBase>::Create(
      self, kSourceBindingId, "SourceBinding", true, &F::GetSourceBinding, &F::SetSourceBinding));
}
