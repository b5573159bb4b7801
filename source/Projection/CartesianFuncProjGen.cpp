#include "Projection/CartesianFuncProj.h"
#include "General/CocoaMethod.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_ABSTRACT_CLASS(CartesianFuncProj, PanoProjection, "CartesianFuncProj")

namespace {

hc::runtime::MethodList CartesianFuncProjBridgedMethods() {
  using P = CartesianFuncProj;
  return {
    CocoaMethod<&P::GetPointForAngleRad>("getPointForAngleRadinPan:inTilt:outX:outY:", "B@:ff^f^f"),
    CocoaMethod<&P::GetAngleRadForPoint>("getAngleRadForPointinX:inY:outPan:outTilt:", "B@:ff^f^f"),
    CocoaMethod<&P::GetDimensionsForCleanArea>("getDimensionsForCleanAreaarea:", "{_NSSize=ff}@:f"),
    CocoaMethod<&P::GetDimensionsForAngularResolutionPPD>("getDimensionsForAngularResolutionPPDppd:",
                                                          "{_NSSize=ff}@:{_NSPoint=ff}"),
    CocoaMethod<&P::Compare>("compareotherProjection:", "B@:@"),
    CocoaMethod<&P::GetPanRange>("getPanRangemin:max:", "v@:^f^f"),
  };
}

}  // namespace

void CartesianFuncProj::CartesianFuncProjClass::SetupProperties() {
  AddObjCInstanceMethods(CartesianFuncProjBridgedMethods());
  using namespace KsPropertyType;
  using P = CartesianFuncProj;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<P, float>::Create(self, kPanMaxDegId, kFloat, "PanMaxDeg", true, &P::GetPanMaxDeg,
                                                    &P::SetPanMaxDeg));
  AddProperty(HcPropertyDirectGet<P, float>::Create(self, kPanMinDegId, kFloat, "PanMinDeg", true, &P::GetPanMinDeg,
                                                    &P::SetPanMinDeg));
  AddProperty(HcPropertyObjectDirectGet<P, ProjectionAngleFunc>::Create(self, kVerticalFuncId, "VerticalFunc", true,
                                                                        &P::GetVerticalFunc, &P::SetVerticalFunc));
  AddProperty(HcPropertyDirectGet<P, float>::Create(self, kVerticalOffsetId, kFloat, "VerticalOffset", true,
                                                    &P::GetVerticalOffset, &P::SetVerticalOffset));
  AddProperty(HcPropertyDirectGet<P, float>::Create(self, kVerticalScaleId, kFloat, "VerticalScale", true,
                                                    &P::GetVerticalScale, &P::SetVerticalScale));
  AddProperty(HcPropertyObjectDirectGet<P, LinearFunc>::Create(self, kHorizontalFuncId, "HorizontalFunc", false,
                                                               &P::GetHorizontalFunc, nullptr));
  AddProperty(HcPropertyDirectGet<P, float>::Create(self, kHorizonId, kFloat, "Horizon", false, &P::GetHorizon,
                                                    &P::SetHorizon));
  AddProperty(HcPropertyDirectGet<P, bool>::Create(self, kLockAspectId, kBool, "LockAspect", false,
                                                   &P::GetLockAspect, &P::SetLockAspect));
  AddProperty(HcPropertyDirectGet<P, float>::Create(self, kEditorTiltMinId, kFloat, "EditorTiltMin", false,
                                                    &P::GetEditorTiltMin, &P::SetEditorTiltMin));
  AddProperty(HcPropertyDirectGet<P, float>::Create(self, kEditorTiltMaxId, kFloat, "EditorTiltMax", false,
                                                    &P::GetEditorTiltMax, &P::SetEditorTiltMax));
}
