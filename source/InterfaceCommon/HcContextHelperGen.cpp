#include "InterfaceCommon/HcContextHelper.h"
#include "General/CocoaMethod.h"
#include "General/ObjectCollection.h"
#include "InputDevice/InputDevice.h"
#include "InterfaceCommon/Viewset.h"
#include "InterfaceCommon/ViewsetCollection.h"
#include "Projection/ProjectionCollection.h"
#include "Renderer/PanoRenderer.h"
#include "Responder/KeyboardResponder.h"
#include "Responder/MouseResponder.h"
#include "Source/SourceCollection.h"
#include "Time/HcClock.h"
#include "Time/HcTweenCollection.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"
#include "Utilities/PropertyProxy.h"
#include "View/HcView.h"
#include "View/PanoView.h"

HC_DEFINE_CLASS(HcContextHelper, KsContextHelper, "HcContextHelper")
void HcContextHelper::HcContextHelperClass::SetupProperties() {
  using C = HcContextHelper;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<C, SourceCollection>::Create(
      self, kIntrinsicSourcesId, "IntrinsicSources", true, &C::GetIntrinsicSources, &C::SetIntrinsicSources));
  AddProperty(HcPropertyObjectDirectGet<C, HcClock>::Create(self, kMovieClockId, "MovieClock", true,
                                                            &C::GetMovieClock, &C::SetMovieClock));
  AddProperty(HcPropertyObjectDirectGet<C, ProjectionCollection>::Create(self, kProjectionsId, "Projections", false,
                                                                         &C::GetProjections, &C::SetProjections));
  AddProperty(HcPropertyObjectDirectGet<C, MouseResponder>::Create(self, kMouseResponderId, "MouseResponder", false,
                                                                   &C::GetMouseResponder, nullptr));
  AddProperty(HcPropertyObjectDirectGet<C, HcClock>::Create(self, kRealtimeClockId, "RealtimeClock", false,
                                                            &C::GetRealtimeClock, nullptr));
  AddProperty(HcPropertyObjectDirectGet<C, HcClock>::Create(self, kIdleClockId, "IdleClock", false,
                                                            &C::GetIdleClock, nullptr));
  AddProperty(HcPropertyObjectDirectGet<C, PanoRenderer>::Create(self, kRendererId, "Renderer", true,
                                                                 &C::GetRenderer, &C::SetRenderer));
  AddProperty(HcPropertyObjectDirectGet<C, PanoSource>::Create(self, kSourceId, "Source", true, &C::GetSource,
                                                               &C::SetSource));
  AddProperty(HcPropertyObjectDirectGet<C, SourceCollection>::Create(self, kSourcesId, "Sources", true,
                                                                     &C::GetSources, &C::SetSources));
  AddProperty(HcPropertyObjectDirectGet<C, KsObject>::Create(self, kViewHelperId, "ViewHelper", true,
                                                             &C::GetViewHelper, &C::SetViewHelper));
  // The proxy stands for a panoramic view: that is the class HcML and type
  // queries see.
  KsRef<HcProperty> viewProxy = HcPropertyObjectDirectGet<C, PropertyProxy>::Create(
      self, kViewProxyId, "ViewProxy", true, &C::GetViewProxy, &C::SetViewProxy);
  viewProxy->Setup(HcProperty::kDirectGet, false, self, kViewProxyId, KsPropertyType::kObject,
                   PWStringRef("ViewProxy"), true, PanoView::ClassGetClassObject());
  AddProperty(viewProxy);
  AddProperty(HcPropertyObjectDirectGet<C, Viewset>::Create(self, kViewsetId, "Viewset", false, &C::GetViewset,
                                                            &C::SetViewset));
  AddProperty(HcPropertyObjectDirectGet<C, SourceCollection>::Create(
      self, kViewsetImagesId, "ViewsetImages", true, &C::GetViewsetImages, &C::SetViewsetImages));
  AddProperty(HcPropertyDirectGet<C, uint32_t>::Create(self, kViewsetIndexId, KsPropertyType::kUInt, "ViewsetIndex",
                                                       false, &C::GetViewsetIndex, &C::SetViewsetIndex));
  AddProperty(HcPropertyDirectGet<C, PWStringRef>::Create(self, kViewsetNameId, KsPropertyType::kString,
                                                          "ViewsetName", false, &C::GetViewsetName,
                                                          &C::SetViewsetName));
  AddProperty(HcPropertyObjectDirectGet<C, ViewsetCollection>::Create(self, kViewsetsId, "Viewsets", false,
                                                                      &C::GetViewsets, &C::SetViewsets));
  AddProperty(HcPropertyObjectDirectGet<C, HcView>::Create(self, kMainViewId, "MainView", false, &C::GetMainView,
                                                           nullptr));
  AddProperty(HcPropertyObjectDirectGet<C, KeyboardResponder>::Create(self, kKeyboardResponderId,
                                                                      "KeyboardResponder", true,
                                                                      &C::GetKeyboardResponder,
                                                                      &C::SetKeyboardResponder));
  AddProperty(HcPropertyObjectDirectGet<C, HcTweenCollection>::Create(self, kTweensId, "Tweens", true, &C::GetTweens,
                                                                      &C::SetTweens));
  AddProperty(HcPropertyObjectDirectGet<C, PanoSource>::Create(self, kPlanarSourceId, "PlanarSource", true,
                                                               &C::GetPlanarSource, &C::SetPlanarSource));
  AddProperty(HcPropertyObjectDirectGet<C, HcView>::Create(self, kRootViewId, "RootView", false, &C::GetRootView,
                                                           nullptr));
  AddProperty(HcPropertyObjectDirectGet<C, InputDevice>::Create(self, kInputDeviceId, "InputDevice", false,
                                                                &C::GetInputDevice, &C::SetInputDevice));
  AddProperty(HcPropertyObjectDirectGet<C, ObjectCollection>::Create(
      self, kNamedControllerObjectsId, "NamedControllerObjects", false, &C::GetNamedControllerObjects,
      &C::SetNamedControllerObjects));
  AddProperty(HcPropertyObjectDirectGet<C, ObjectCollection>::Create(self, kNamedViewsetObjectsId,
                                                                     "NamedViewsetObjects", false,
                                                                     &C::GetNamedViewsetObjects,
                                                                     &C::SetNamedViewsetObjects));
  AddObjCInstanceMethods({CocoaMethod<&C::IdleClocks>("idleClocks", "i@:"),
                          CocoaMethod<&C::IdleClocksWithStatus>("idleClocksWithStatusisDirty:", "i@:^B"),
                          CocoaMethod<&C::ResetIdle>("resetIdle", "i@:"),
                          CocoaMethod<&C::LoadStaticViewset>("loadViewsetFromHcML:", "@@:@"),
                          CocoaMethod<&C::ClearContext>("clearContext", "i@:")});
}
