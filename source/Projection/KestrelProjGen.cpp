#include "Projection/KestrelProj.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(KestrelProj, RadialFuncProj, "KestrelProj")

void KestrelProj::KestrelProjClass::SetupProperties() {
  using namespace KsPropertyType;
  using P = KestrelProj;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<P, float>::Create(self, kApexDistanceId, kFloat, "ApexDistance", true,
                                                    &P::GetApexDistance, &P::SetApexDistance));
  AddProperty(HcPropertyDirectGet<P, float>::Create(self, kAngleCenterDegId, kFloat, "AngleCenterDeg", false,
                                                    &P::GetAngleCenterDeg, nullptr));
  AddProperty(HcPropertyDirectGet<P, float>::Create(self, kAngleEdgeDegId, kFloat, "AngleEdgeDeg", false,
                                                    &P::GetAngleEdgeDeg, nullptr));
}
