#pragma once

#include <cstdint>

#include "General/KsObject.h"
#include "PWString.h"

class HcClock;
class HcView;
class InputDevice;
class KeyboardResponder;
class PanoRenderer;
class Viewset;

// What the responders and input devices need of the live scene they act in:
// its clocks, its root and main views, its viewsets and the switch between
// them, its renderer's draw lock and its polled input device. The scene's
// context class implements it beside its own base; responders and devices
// hold the context weakly, as a model object, and reach this face of it
// through ResponderContext::Of.
class ResponderContext {
 public:
  virtual ~ResponderContext() = default;

  // The face of a model object that is a context, or null.
  static ResponderContext* Of(KsObject* object) { return dynamic_cast<ResponderContext*>(object); }
  static ResponderContext* Of(const KsRef<KsObject>& object) { return Of(object.Get()); }

  // The process-wide real-time clock, and the context's own idle clock whose
  // time-out starts the automatic panning (user activity resets it).
  virtual KsRef<HcClock> GetRealtimeClock() = 0;
  virtual KsRef<HcClock> GetIdleClock() = 0;

  virtual KsRef<HcView> GetRootView() = 0;
  // What the view proxy resolves to when it is a view, else none.
  virtual KsRef<HcView> GetMainView() = 0;
  // The keyboard responder that receives the window's keys (the explicit
  // one, else the main view's), or none.
  virtual KsRef<KeyboardResponder> GetKeyboardResponder() = 0;
  // The renderer whose draw lock the per-refresh step runs under, or none.
  virtual KsRef<PanoRenderer> GetRenderer() = 0;

  // The viewset of that name in the context's viewsets: 0 and the viewset,
  // or the lookup's error.
  virtual eAppErr FindViewset(const PWStringRef& name, KsRef<Viewset>* viewset) = 0;
  // Loads HcML text into the object at a root path of the context.
  virtual eAppErr LoadHcMLAtRoot(const PWStringRef& hcml, const PWStringRef& rootPath) = 0;
  // Points the view proxy ("hc://ViewProxy") at the object at the path.
  virtual eAppErr SetViewProxyTargetPath(const PWStringRef& path) = 0;
  // Float properties of the object at an object path.
  virtual eAppErr GetFloatAtPath(const PWStringRef& path, const PWStringRef& propertyName, float* value) = 0;
  virtual eAppErr SetFloatAtPath(const PWStringRef& path, const PWStringRef& propertyName, float value) = 0;

  // The polled device, held weakly: none once it is gone.
  virtual KsRef<InputDevice> GetInputDevice() = 0;
  virtual eAppErr SetInputDevice(const KsRef<InputDevice>& device) = 0;

  // Where the window's key events enter the scene: the idle clock's timer
  // restarts (key presses are user activity, like the mouse events the root
  // forwarding responder passes on), then the scene's keyboard responder
  // gets the event. Whether it was handled.
  bool KeyDown(uint32_t code, uint32_t modifiers, uint32_t scanCode);
  bool KeyUp(uint32_t code, uint32_t modifiers, uint32_t scanCode);
  // Takes off the clocks what the main view's responders and the scene's
  // keyboard responder run for input still in progress: a viewset switch
  // does this first, since the key or button releases will go elsewhere.
  void StopInputTweens();
};
