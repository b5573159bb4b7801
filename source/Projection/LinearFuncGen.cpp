#include "Projection/LinearFunc.h"
#include "General/CocoaMethod.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(LinearFunc, ProjectionAngleFunc, "LinearFunc")

namespace {

hc::runtime::MethodList LinearFuncBridgedMethods() {
  using F = LinearFunc;
  return {
    CocoaMethod<&F::Evaluate>("evaluate:out:", "B@:f^f"),
    CocoaMethod<&F::Inverse>("inverse:out:", "B@:f^f"),
    CocoaMethod<&F::Compare>("isEqualTo:", "B@:@"),
    CocoaMethod<&F::MoveTiltMinDeg>("moveTiltMinDeg:withImageRange:", "i@:ff"),
    CocoaMethod<&F::MoveTiltMaxDeg>("moveTiltMaxDeg:withImageRange:", "i@:ff"),
    CocoaMethod<&F::MoveHorizon>("moveHorizon:withImageRange:", "i@:ff"),
  };
}

}  // namespace

void LinearFunc::LinearFuncClass::SetupProperties() {
  AddObjCInstanceMethods(LinearFuncBridgedMethods());
  using namespace KsPropertyType;
  using F = LinearFunc;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kMaxValueId, kFloat, "MaxValue", true, &F::GetMaxValue,
                                                    &F::SetMaxValue));
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kMinValueId, kFloat, "MinValue", true, &F::GetMinValue,
                                                    &F::SetMinValue));
}
