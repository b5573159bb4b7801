#include "Projection/PanoProjection.h"
#include "General/CocoaMethod.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_ABSTRACT_CLASS(PanoProjection, KsObject, "PanoProjection")

namespace {

hc::runtime::MethodList PanoProjectionBridgedMethods() {
  using P = PanoProjection;
  return {
    CocoaMethod<&P::GetPointForAngleRad>("getPointForAngleRadinPan:inTilt:outX:outY:", "B@:ff^f^f"),
    CocoaMethod<&P::GetAngleRadForPoint>("getAngleRadForPointinX:inY:outPan:outTilt:", "B@:ff^f^f"),
    CocoaMethod<&P::GetCleanAreaForWidthHeight>("cleanAreaForWidth:height:", "f@:ii"),
    CocoaMethod<&P::GetDimensionsForCleanArea>("getDimensionsForCleanAreaarea:", "{_NSSize=ff}@:f"),
    CocoaMethod<&P::GetDimensionsForAngularResolutionPPD>("getDimensionsForAngularResolutionPPDppd:",
                                                          "{_NSSize=ff}@:{_NSPoint=ff}"),
    CocoaMethod<&P::GetTiltRange>("getTiltRangeminTilt:maxTilt:", "i@:^f^f"),
    CocoaMethod<&P::Compare>("compareotherProjection:", "B@:@"),
  };
}

}  // namespace

void PanoProjection::PanoProjectionClass::SetupProperties() {
  AddObjCInstanceMethods(PanoProjectionBridgedMethods());
  using namespace KsPropertyType;
  using P = PanoProjection;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<P, PWStringRef>::Create(self, kEditorViewsetTypeId, kString, "EditorViewsetType",
                                                          true, &P::GetEditorViewsetType, &P::SetEditorViewsetType));
  AddProperty(HcPropertyDirectGet<P, float>::Create(self, kTiltMinDegId, kFloat, "TiltMinDeg", true,
                                                    &P::GetTiltMinDeg, &P::SetTiltMinDeg));
  AddProperty(HcPropertyDirectGet<P, float>::Create(self, kTiltMaxDegId, kFloat, "TiltMaxDeg", true,
                                                    &P::GetTiltMaxDeg, &P::SetTiltMaxDeg));
  AddProperty(HcPropertyDirectGet<P, float>::Create(self, kZeroPanOffsetDegId, kFloat, "ZeroPanOffsetDeg", true,
                                                    &P::GetZeroPanOffsetDeg, &P::SetZeroPanOffsetDeg));
  AddProperty(HcPropertyDirectGet<P, uint32_t>::Create(self, kTilingCountId, kUInt, "TilingCount", false,
                                                       &P::GetTilingCount, nullptr));
  AddProperty(HcPropertyDirectGet<P, float>::Create(self, kImageAspectId, kFloat, "ImageAspect", false,
                                                    &P::GetImageAspect, &P::SetImageAspect));
  AddProperty(HcPropertyDirectGet<P, float>::Create(self, kConstraintPanMinId, kFloat, "ConstraintPanMin", true,
                                                    &P::GetConstraintPanMin, &P::SetConstraintPanMin));
  AddProperty(HcPropertyDirectGet<P, float>::Create(self, kConstraintPanMaxId, kFloat, "ConstraintPanMax", true,
                                                    &P::GetConstraintPanMax, &P::SetConstraintPanMax));
  AddProperty(HcPropertyDirectGet<P, float>::Create(self, kConstraintTiltMinId, kFloat, "ConstraintTiltMin", true,
                                                    &P::GetConstraintTiltMin, &P::SetConstraintTiltMin));
  AddProperty(HcPropertyDirectGet<P, float>::Create(self, kConstraintTiltMaxId, kFloat, "ConstraintTiltMax", true,
                                                    &P::GetConstraintTiltMax, &P::SetConstraintTiltMax));
}
