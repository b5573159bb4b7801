#include "Projection/ProjectionAngleFunc.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_ABSTRACT_CLASS(ProjectionAngleFunc, OneVarFunction, "ProjectionAngleFunc")

void ProjectionAngleFunc::ProjectionAngleFuncClass::SetupProperties() {
  using namespace KsPropertyType;
  using F = ProjectionAngleFunc;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kAngleMaxDegId, kFloat, "AngleMaxDeg", false,
                                                    &F::GetAngleMaxDeg, &F::SetAngleMaxDeg));
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kAngleMinDegId, kFloat, "AngleMinDeg", false,
                                                    &F::GetAngleMinDeg, &F::SetAngleMinDeg));
}
