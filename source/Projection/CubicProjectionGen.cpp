#include "Projection/CubicProjection.h"
#include "General/CocoaMethod.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(CubicProjection, PanoProjection, "CubicProjection")

namespace {

KsRef<CubicProjection> Make3By2CubicProjection() {
  KsRef<CubicProjection> projection;
  CubicProjection::Create3By2CubicProjection(projection);
  return projection;
}

hc::runtime::MethodList CubicProjectionBridgedMethods() {
  using P = CubicProjection;
  return {
    CocoaMethod<&P::GetPointForAngleRad>("getPointForAngleRadinPan:inTilt:outX:outY:", "B@:ff^f^f"),
    CocoaMethod<&P::GetAngleRadForPoint>("getAngleRadForPointinX:inY:outPan:outTilt:", "B@:ff^f^f"),
    CocoaMethod<&P::GetDimensionsForCleanArea>("getDimensionsForCleanAreaarea:", "{_NSSize=ff}@:f"),
    CocoaMethod<&P::GetDimensionsForAngularResolutionPPD>("getDimensionsForAngularResolutionPPDppd:",
                                                          "{_NSSize=ff}@:{_NSPoint=ff}"),
  };
}

}  // namespace

void CubicProjection::CubicProjectionClass::SetupProperties() {
  AddObjCInstanceMethods(CubicProjectionBridgedMethods());
  AddObjCClassMethods({CocoaClassMethod<&Make3By2CubicProjection>("create3By2CubicProjection", "@@:")});
  using namespace KsPropertyType;
  using P = CubicProjection;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<P, CubeFaceCollection>::Create(
      self, kCubeFaceConfigurationId, "CubeFaceConfiguration", true, &P::GetCubeFaceConfiguration,
      &P::SetCubeFaceConfiguration));
  AddProperty(HcPropertyDirectGet<P, uint32_t>::Create(self, kFacesWideId, kUInt, "FacesWide", true,
                                                       &P::GetFacesWide, &P::SetFacesWide));
  AddProperty(HcPropertyDirectGet<P, uint32_t>::Create(self, kFacesHighId, kUInt, "FacesHigh", true,
                                                       &P::GetFacesHigh, &P::SetFacesHigh));
}
