#include "InterfaceCommon/HcContextHelper.h"
#include "InterfaceCommon/HcPresentation.h"
#include "Time/HcClock.h"
#include "Time/HcTweenCollection.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(HcPresentation, KsContextHelper, "HcPresentation")
void HcPresentation::HcPresentationClass::SetupProperties() {
  using P = HcPresentation;
  using namespace KsPropertyType;
  using Main = KsRef<SourceDescription> (P::*)();
  KsRef<KsClassObject> self = ThisRef();
  auto text = [&](int32_t id, const char* name, PWStringRef (P::*getter)() const,
                  eAppErr (P::*setter)(const PWStringRef&)) {
    AddProperty(HcPropertyDirectGet<P, PWStringRef>::Create(self, id, kString, name, true, getter, setter));
  };
  auto path = [&](int32_t id, const char* name, eAppErr (P::*setter)(const PWStringRef&)) {
    AddProperty(HcPropertyDirectGet<P, PWStringRef>::Create(self, id, kString, name, false, nullptr, setter));
  };
  auto flag = [&](int32_t id, const char* name, bool serialized, bool (P::*getter)() const,
                  eAppErr (P::*setter)(bool)) {
    AddProperty(HcPropertyDirectGet<P, bool>::Create(self, id, kBool, name, serialized, getter, setter));
  };
  AddProperty(HcPropertyDirectGet<P, bool>::Create(self, kInitContextFromHcMLId, kBool, "InitContextFromHcML", false,
                                                   nullptr, &P::SetInitContextFromHcML));
  text(kInitialViewHcMLId, "InitialViewHcML", &P::GetInitialViewHcML, &P::SetInitialViewHcML);
  path(kInitialViewHcMLPathId, "InitialViewHcMLPath", &P::SetInitialViewHcMLPath);
  AddProperty(HcPropertyDirectGet<P, bool>::Create(self, kInitHcMLFromContextId, kBool, "InitHcMLFromContext", false,
                                                   nullptr, &P::SetInitHcMLFromContext));
  AddProperty(HcPropertyObjectDirectGet<P, KsStringCollection>::Create(self, kLoadHcMLId, "LoadHcML", true,
                                                                      &P::GetLoadHcML, &P::SetLoadHcML));
  AddProperty(HcPropertyObjectDirectGet<P, SourceDescription>::Create(
      self, kMainSourceId, "MainSource", true, static_cast<Main>(&P::GetMainSource), &P::SetMainSource));
  text(kViewsetNameId, "ViewsetName", &P::GetViewsetName, &P::SetViewsetName);
  text(kViewsetHcMLId, "ViewsetHcML", &P::GetViewsetHcML, &P::SetViewsetHcML);
  path(kViewsetHcMLPathId, "ViewsetHcMLPath", &P::SetViewsetHcMLPath);
  AddProperty(HcPropertyObjectDirectGet<P, HcTweenCollection>::Create(self, kViewTweensId, "ViewTweens", false,
                                                                     &P::GetViewTweens, &P::SetViewTweens));
  text(kViewTweensHcMLId, "ViewTweensHcML", &P::GetViewTweensHcML, &P::SetViewTweensHcML);
  path(kViewTweensHcMLPathId, "ViewTweensHcMLPath", &P::SetViewTweensHcMLPath);
  AddProperty(HcPropertyObjectDirectGet<P, HcContextHelper>::Create(self, kHcContextId, "HcContext", false,
                                                                   &P::GetHcContext, &P::SetHcContext));
  AddProperty(HcPropertyDirectGet<P, KsSizeF>::Create(self, kDisplaySizeId, kSize, "DisplaySize", true,
                                                      &P::GetDisplaySize, &P::SetDisplaySize));
  flag(kOpenFullScreenId, "OpenFullScreen", true, &P::GetOpenFullScreen, &P::SetOpenFullScreen);
  flag(kHideControlsId, "HideControls", true, &P::GetHideControls, &P::SetHideControls);
  text(kIdleTweenPathId, "IdleTweenPath", &P::GetIdleTweenPath, &P::SetIdleTweenPath);
  // Written out, so that a presentation read back keeps its idle behaviour.
  flag(kUseIdleId, "UseIdle", true, &P::GetUseIdle, &P::SetUseIdle);
  flag(kAutoPlayId, "AutoPlay", true, &P::GetAutoPlay, &P::SetAutoPlay);
  AddProperty(HcPropertyObjectDirectGet<P, SourceDescriptionCollection>::Create(
      self, kSourceListId, "SourceList", true, &P::GetSourceList, &P::SetSourceList));
  AddProperty(HcPropertyObjectDirectGet<P, HcClock>::Create(self, kLiveClockId, "LiveClock", true, &P::GetLiveClock,
                                                           &P::SetLiveClock));
  AddProperty(HcPropertyObjectDirectGet<P, ObjectCollection>::Create(self, kNamedControllerObjectsId,
                                                                    "NamedControllerObjects", false,
                                                                    &P::GetNamedControllerObjects,
                                                                    &P::SetNamedControllerObjects));
}
