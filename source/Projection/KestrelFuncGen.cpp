#include "Projection/KestrelFunc.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(KestrelFunc, OneVarFunction, "KestrelFunc")

void KestrelFunc::KestrelFuncClass::SetupProperties() {
  using namespace KsPropertyType;
  using F = KestrelFunc;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kApexDistanceId, kFloat, "ApexDistance", true,
                                                    &F::GetApexDistance, &F::SetApexDistance));
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kAngleCenterDegId, kFloat, "AngleCenterDeg", false,
                                                    &F::GetAngleCenterDeg, nullptr));
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kAngleEdgeDegId, kFloat, "AngleEdgeDeg", false,
                                                    &F::GetAngleEdgeDeg, nullptr));
}
