#include "General/CocoaMethod.h"
#include "Time/HcClock.h"
#include "Time/HcClockCollection.h"
#include "Time/HcTransition.h"
#include "Time/HcTweenCollection.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_ABSTRACT_CLASS(HcClock, KsObject, "HcClock")

namespace {

hc::runtime::MethodList ClockBridgedMethods() {
  using F = HcClock;
  return {
      CocoaMethod<&F::Idle>("idle", "i@:"),
      CocoaMethod<&F::ResetIdle>("resetIdle", "i@:"),
      CocoaMethod<&F::AttachTween>("attachTweennewTween:", "i@:@"),
      CocoaMethod<&F::DetachTween>("detachTweentweenToRemove:", "i@:@"),
  };
}

}  // namespace

void HcClock::HcClockClass::SetupProperties() {
  AddObjCInstanceMethods(ClockBridgedMethods());
  using namespace KsPropertyType;
  using F = HcClock;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<F, HcTweenCollection>::Create(self, kTweensId, "Tweens", true, &F::GetTweens,
                                                                      &F::SetTweens));
  AddProperty(HcPropertyDirectGet<F, double>::Create(self, kTimeNowId, kDouble, "TimeNow", false, &F::GetTimeNow,
                                                     &F::SetTimeNow));
  AddProperty(
      HcPropertyDirectGet<F, bool>::Create(self, kDirtyId, kBool, "Dirty", false, &F::GetDirty, &F::SetDirty));
  AddProperty(HcPropertyObjectDirectGet<F, HcTransition>::Create(self, kIdleTransitionId, "IdleTransition", true,
                                                                 &F::GetIdleTransition, &F::SetIdleTransition));
  AddProperty(HcPropertyDirectGet<F, double>::Create(self, kIdleTimeoutId, kDouble, "IdleTimeout", true,
                                                     &F::GetIdleTimeout, &F::SetIdleTimeout));
  AddProperty(HcPropertyDirectGet<F, bool>::Create(self, kUseIdleTransitionId, kBool, "UseIdleTransition", true,
                                                   &F::GetUseIdleTransition, &F::SetUseIdleTransition));
  AddProperty(HcPropertyObjectDirectGet<F, HcClockCollection>::Create(
      self, kDependentClocksId, "DependentClocks", true, &F::GetDependentClocks, &F::SetDependentClocks));
}
