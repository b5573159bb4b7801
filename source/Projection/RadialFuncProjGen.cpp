#include "Projection/RadialFuncProj.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(RadialFuncProj, PanoProjection, "RadialFuncProj")

void RadialFuncProj::RadialFuncProjClass::SetupProperties() {
  using namespace KsPropertyType;
  using P = RadialFuncProj;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<P, float>::Create(self, kAspectId, kFloat, "Aspect", true, &P::GetAspect,
                                                    &P::SetAspect));
  AddProperty(HcPropertyDirectGet<P, KsPointF>::Create(self, kCenterPointId, kPoint, "CenterPoint", true,
                                                       &P::GetCenterPoint, &P::SetCenterPoint));
  AddProperty(HcPropertyDirectGet<P, float>::Create(self, kInnerTiltDegId, kFloat, "InnerTiltDeg", false,
                                                    &P::GetInnerTiltDeg, nullptr));
  AddProperty(HcPropertyDirectGet<P, float>::Create(self, kOuterTiltDegId, kFloat, "OuterTiltDeg", false,
                                                    &P::GetOuterTiltDeg, nullptr));
  AddProperty(HcPropertyDirectGet<P, float>::Create(self, kCenterXId, kFloat, "CenterX", false, &P::GetCenterX,
                                                    &P::SetCenterX));
  AddProperty(HcPropertyDirectGet<P, float>::Create(self, kCenterYId, kFloat, "CenterY", false, &P::GetCenterY,
                                                    &P::SetCenterY));
  AddProperty(HcPropertyDirectGet<P, bool>::Create(self, kIsInvertedId, kBool, "IsInverted", true,
                                                   &P::GetIsInverted, &P::SetIsInverted));
  AddProperty(HcPropertyDirectGet<P, bool>::Create(self, kIsInvertedUIId, kBool, "IsInvertedUI", false,
                                                   &P::GetIsInvertedUI, &P::SetIsInvertedUI));
  AddProperty(HcPropertyDirectGet<P, bool>::Create(self, kIsMirrorId, kBool, "IsMirror", true, &P::GetIsMirror,
                                                   &P::SetIsMirror));
  AddProperty(HcPropertyObjectDirectGet<P, OneVarFunction>::Create(self, kRadialFuncId, "RadialFunc", true,
                                                                   &P::GetRadialFunc, &P::SetRadialFunc));
  AddProperty(HcPropertyDirectGet<P, float>::Create(self, kRadiusVId, kFloat, "RadiusV", true, &P::GetRadiusV,
                                                    &P::SetRadiusV));
}
