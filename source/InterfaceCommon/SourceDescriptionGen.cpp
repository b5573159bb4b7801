#include "InterfaceCommon/SourceDescription.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(SourceDescription, KsObject, "SourceDescription")
void SourceDescription::SourceDescriptionClass::SetupProperties() {
  using D = SourceDescription;
  using namespace KsPropertyType;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<D, PanoSource>::Create(self, kLiveSourceId, "LiveSource", false,
                                                              &D::GetLiveSource, &D::SetLiveSource));
  AddProperty(HcPropertyDirectGet<D, bool>::Create(self, kInitSourceFromHcMLId, kBool, "InitSourceFromHcML", false,
                                                   &D::GetInitSourceFromHcML, &D::SetInitSourceFromHcML));
  AddProperty(HcPropertyDirectGet<D, bool>::Create(self, kInitHcMLFromSourceId, kBool, "InitHcMLFromSource", false,
                                                   &D::GetInitHcMLFromSource, &D::SetInitHcMLFromSource));
  AddProperty(HcPropertyDirectGet<D, PWStringRef>::Create(self, kProjectionHcMLId, kString, "ProjectionHcML", true,
                                                          &D::GetProjectionHcML, &D::SetProjectionHcML));
  AddProperty(HcPropertyDirectGet<D, PWStringRef>::Create(self, kProjectionHcMLPathId, kString,
                                                          "ProjectionHcMLPath", false, nullptr,
                                                          &D::SetProjectionHcMLPath));
  AddProperty(HcPropertyDirectGet<D, PWStringRef>::Create(self, kTweenHcMLId, kString, "TweenHcML", true,
                                                          &D::GetTweenHcML, &D::SetTweenHcML));
  AddProperty(HcPropertyDirectGet<D, PWStringRef>::Create(self, kTweenHcMLPathId, kString, "TweenHcMLPath", false,
                                                          nullptr, &D::SetTweenHcMLPath));
}
