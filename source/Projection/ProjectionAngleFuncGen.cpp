#include "Projection/ProjectionAngleFunc.h"
#include "General/CocoaMethod.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_ABSTRACT_CLASS(ProjectionAngleFunc, OneVarFunction, "ProjectionAngleFunc")

namespace {

hc::runtime::MethodList ProjectionAngleFuncBridgedMethods() {
  using F = ProjectionAngleFunc;
  return {
    CocoaMethod<&F::MoveTiltMinDeg>("moveTiltMinDeg:withImageRange:", "i@:ff"),
    CocoaMethod<&F::MoveTiltMaxDeg>("moveTiltMaxDeg:withImageRange:", "i@:ff"),
    CocoaMethod<&F::MoveHorizon>("moveHorizon:withImageRange:", "i@:ff"),
    CocoaMethod<&F::GetRelativeImageRange>("relativeImageRange", "f@:"),
  };
}

}  // namespace

void ProjectionAngleFunc::ProjectionAngleFuncClass::SetupProperties() {
  AddObjCInstanceMethods(ProjectionAngleFuncBridgedMethods());
  using namespace KsPropertyType;
  using F = ProjectionAngleFunc;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kAngleMaxDegId, kFloat, "AngleMaxDeg", false,
                                                    &F::GetAngleMaxDeg, &F::SetAngleMaxDeg));
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kAngleMinDegId, kFloat, "AngleMinDeg", false,
                                                    &F::GetAngleMinDeg, &F::SetAngleMinDeg));
}
