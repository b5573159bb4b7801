#include "InterfaceCommon/HcPresentation.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(HcPresentation, KsContextHelper, "HcPresentation")

void HcPresentation::HcPresentationClass::SetupProperties() {
  using P = HcPresentation;
  using namespace KsPropertyType;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<P, PWStringRef>::Create(self, P::kInitialViewHcMLId, kString, "InitialViewHcML",
                                                          true, &P::GetInitialViewHcML, &P::SetInitialViewHcML));
  AddProperty(HcPropertyObjectDirectGet<P, KsStringCollection>::Create(self, P::kLoadHcMLId, "LoadHcML", true,
                                                                       &P::GetLoadHcML, &P::SetLoadHcML));
  AddProperty(HcPropertyObjectDirectGet<P, SourceDescription>::Create(self, P::kMainSourceId, "MainSource", true,
                                                                      &P::GetMainSource, &P::SetMainSource));
  AddProperty(HcPropertyDirectGet<P, PWStringRef>::Create(self, P::kViewsetNameId, kString, "ViewsetName", true,
                                                          &P::GetViewsetName, &P::SetViewsetName));
  AddProperty(HcPropertyDirectGet<P, PWStringRef>::Create(self, P::kViewsetHcMLId, kString, "ViewsetHcML", true,
                                                          &P::GetViewsetHcML, &P::SetViewsetHcML));
  AddProperty(HcPropertyDirectGet<P, PWStringRef>::Create(self, P::kViewTweensHcMLId, kString, "ViewTweensHcML", true,
                                                          &P::GetViewTweensHcML, &P::SetViewTweensHcML));
  AddProperty(HcPropertyDirectGet<P, KsSizeF>::Create(self, P::kDisplaySizeId, kSize, "DisplaySize", true,
                                                      &P::GetDisplaySize, &P::SetDisplaySize));
  AddProperty(HcPropertyDirectGet<P, bool>::Create(self, P::kOpenFullScreenId, kBool, "OpenFullScreen", true,
                                                   &P::GetOpenFullScreen, &P::SetOpenFullScreen));
  AddProperty(HcPropertyDirectGet<P, bool>::Create(self, P::kHideControlsId, kBool, "HideControls", true,
                                                   &P::GetHideControls, &P::SetHideControls));
  AddProperty(HcPropertyObjectDirectGet<P, SourceDescriptionCollection>::Create(
      self, P::kSourceListId, "SourceList", true, &P::GetSourceList, &P::SetSourceList));
  AddProperty(HcPropertyObjectDirectGet<P, HcClock>::Create(self, P::kLiveClockId, "LiveClock", true,
                                                            &P::GetLiveClock, &P::SetLiveClock));
}
