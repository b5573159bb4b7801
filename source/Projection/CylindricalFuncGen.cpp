#include "Projection/CylindricalFunc.h"

#include "General/CocoaMethod.h"

HC_DEFINE_CLASS(CylindricalFunc, ProjectionAngleFunc, "CylindricalFunc")

namespace {

hc::runtime::MethodList CylindricalFuncBridgedMethods() {
  using F = CylindricalFunc;
  return {
    CocoaMethod<&F::Evaluate>("evaluate:out:", "B@:f^f"),
    CocoaMethod<&F::Inverse>("inverse:out:", "B@:f^f"),
    CocoaMethod<&F::Compare>("isEqualTo:", "B@:@"),
    CocoaMethod<&F::MoveTiltMinDeg>("moveTiltMinDeg:withImageRange:", "i@:ff"),
    CocoaMethod<&F::MoveTiltMaxDeg>("moveTiltMaxDeg:withImageRange:", "i@:ff"),
    CocoaMethod<&F::MoveHorizon>("moveHorizon:withImageRange:", "i@:ff"),
    CocoaMethod<&F::GetRelativeImageRange>("relativeImageRange", "f@:"),
  };
}

}  // namespace

void CylindricalFunc::CylindricalFuncClass::SetupProperties() {
  AddObjCInstanceMethods(CylindricalFuncBridgedMethods());
}
