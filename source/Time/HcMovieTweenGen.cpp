#include "General/CocoaMethod.h"
#include "Time/HcMovieTween.h"
#include "Time/HcMovieTweenLookMarkerCollection.h"
#include "Time/HcTimeScale.h"
#include "Utilities/HcPropertyBindingBase.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(HcMovieTween, HcTween, "HcMovieTween")

namespace {

hc::runtime::MethodList MovieTweenBridgedMethods() {
  using F = HcMovieTween;
  return {
      CocoaMethod<&F::LookDirectionAtTime>("lookDirectionAtTimetime:", "@@:q"),
      CocoaMethod<&F::ResetStartEndTimes>("resetStartEndTimes", "i@:"),
      CocoaMethod<&F::Validate>("validate", "i@:"),
      CocoaMethod<&F::TraceTween>("traceTween", "i@:"),
  };
}

}  // namespace

void HcMovieTween::HcMovieTweenClass::SetupProperties() {
  AddObjCInstanceMethods(MovieTweenBridgedMethods());
  using F = HcMovieTween;
  using Binding = HcPropertyBindingBase;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<F, HcMovieTweenLookMarkerCollection>::Create(
      self, kMarkersId, "Markers", true, &F::GetMarkers, &F::SetMarkers));
  AddProperty(HcPropertyObjectDirectGet<F, KsObject>::Create(self, kBindToViewId, "BindToView", false,
                                                             &F::GetBindToView, &F::SetBindToView));
  AddProperty(HcPropertyObjectDirectGet<F, HcTimeScale>::Create(self, kTimeScaleId, "TimeScale", true,
                                                                &F::GetTimeScale, &F::SetTimeScale));
  AddProperty(HcPropertyObjectDirectGet<F, Binding>::Create(self, kPanBindingId, "PanBinding", true,
                                                            &F::GetPanBinding, &F::SetPanBinding));
  AddProperty(HcPropertyObjectDirectGet<F, Binding>::Create(self, kTiltBindingId, "TiltBinding", true,
                                                            &F::GetTiltBinding, &F::SetTiltBinding));
  AddProperty(HcPropertyObjectDirectGet<F, Binding>::Create(self, kVFOVBindingId, "VFOVBinding", true,
                                                            &F::GetVFOVBinding, &F::SetVFOVBinding));
}
