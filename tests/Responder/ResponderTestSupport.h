#pragma once

// What the Responder and InputDevice suites share: a small scene that plays
// the context's part for responders and devices (manual clocks, one
// perspective view reached through a view proxy, viewsets loaded at
// "hc://View"), and a recorder of trace lines.

#include <string>
#include <vector>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "InputDevice/InputDevice.h"
#include "InterfaceCommon/Viewset.h"
#include "Renderer/PanoRenderer.h"
#include "Responder/KeyboardResponder.h"
#include "Responder/MouseForwardingResponder.h"
#include "Responder/ResponderContext.h"
#include "Time/HcManualClock.h"
#include "Utilities/PropertyProxy.h"
#include "View/PerspectiveView.h"

// The scene: "View" holds a viewset whose View is the perspective view (the
// root view too), "ViewProxy" a proxy for the main view at "hc://View.View".
// Its clocks are manual; its view's default responders run on the real-time
// one. Viewsets is a list the test fills.
class TestScene : public KsObject, public ResponderContext {
  HC_CLASS_HEADER(TestScene)
 public:
  TestScene();
  ~TestScene() override;

  // The scene after construction (the proxy needs the scene's own reference).
  static KsRef<TestScene> Make(float width = 400.0f, float height = 300.0f);

  KsRef<HcClock> GetRealtimeClock() override { return realtime; }
  KsRef<HcClock> GetIdleClock() override { return idle; }
  KsRef<HcView> GetRootView() override;
  KsRef<HcView> GetMainView() override;
  KsRef<KeyboardResponder> GetKeyboardResponder() override;
  KsRef<PanoRenderer> GetRenderer() override { return renderer; }
  eAppErr FindViewset(const PWStringRef& name, KsRef<Viewset>* viewset) override;
  eAppErr LoadHcMLAtRoot(const PWStringRef& hcml, const PWStringRef& rootPath) override;
  eAppErr SetViewProxyTargetPath(const PWStringRef& path) override;
  eAppErr GetFloatAtPath(const PWStringRef& path, const PWStringRef& propertyName, float* value) override;
  eAppErr SetFloatAtPath(const PWStringRef& path, const PWStringRef& propertyName, float value) override;
  KsRef<InputDevice> GetInputDevice() override;
  eAppErr SetInputDevice(const KsRef<InputDevice>& device) override;

  KsRef<KsObject> GetView() const { return holder; }
  eAppErr SetView(const KsRef<KsObject>& object) {
    holder = object.DynamicCast<Viewset>();
    return AppErr::kNoErr;
  }
  KsRef<KsObject> GetViewProxy() const { return proxy; }

  // The main view as a perspective view.
  KsRef<PerspectiveView> Main() { return GetMainView().DynamicCast<PerspectiveView>(); }
  // Moves both clocks to t and ticks the real-time clock.
  eAppErr Tick(double t);
  // Sets the main view's responders to run on the scene's real-time clock.
  void UseSceneClock(const KsRef<HcView>& view);

  KsRef<HcManualClock> realtime = KsMakeRef<HcManualClock>();
  KsRef<HcManualClock> idle = KsMakeRef<HcManualClock>();
  KsRef<Viewset> holder = KsMakeRef<Viewset>();
  KsRef<PropertyProxy> proxy;
  KsRef<MouseForwardingResponder> mouse = KsMakeRef<MouseForwardingResponder>();
  KsRef<KeyboardResponder> keyboard;  // explicit; else the main view's
  KsRef<PanoRenderer> renderer;
  std::vector<KsRef<Viewset>> viewsets;
  WeakRef::Ref device;
  int setInputDeviceCalls = 0;
};
HC_CLASS_OBJECT(TestScene, KsObject)

// Collects the trace lines written while it lives (every category verbose).
class TraceRecorder {
 public:
  TraceRecorder();
  ~TraceRecorder();
  bool Contains(const std::string& text) const;
  std::vector<std::string> lines;
};

// xmllint --noout on the text: whether it is well-formed XML.
bool XmllintAccepts(const std::string& text);
