#include "Projection/CubicProjection.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(CubicProjection, PanoProjection, "CubicProjection")

void CubicProjection::CubicProjectionClass::SetupProperties() {
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
