#pragma once

#include "Responder/MouseResponder.h"

// The scene's root mouse responder: its view is the scene's root view, and
// it passes each event on to the responders of the views under the pointer
// (innermost first), stopping at the first that handles it. The responder
// that accepts a press is captured and receives the drag and the release,
// even once the pointer has left its view. Presses, releases, drags and
// scrolls restart the timer of IdleClock, the clock whose idle transition
// pans the view once the user has left it alone; hovering does not.
class MouseForwardingResponder : public MouseResponder {
  HC_CLASS_HEADER(MouseForwardingResponder)
 public:
  MouseForwardingResponder();
  ~MouseForwardingResponder() override;

  bool MouseDown(const KsPointF& point, uint32_t* cursor) override;
  void MouseUp(const KsPointF& point, uint32_t* cursor) override;
  bool MouseRightDown(const KsPointF& point, uint32_t* cursor) override;
  void MouseRightUp(const KsPointF& point, uint32_t* cursor) override;
  bool MouseMoved(const KsPointF& point, uint32_t* cursor) override;
  bool MouseScrolled(const KsPointF& point, float delta) override;

  // Not a property: the clock whose idle timer user activity restarts.
  eAppErr SetClock(const KsRef<HcClock>& clock);
  KsRef<HcClock> GetClock() const { return m_idleClock; }
  KsRef<MouseResponder> GetCaptured() const { return m_captured; }

 private:
  void ResetIdle();
  // A press that finds a responder still captured (its release never came)
  // releases it first, so that nothing it started keeps running.
  void ReleaseStaleCapture(const KsPointF& point);
  template <class Event>
  KsRef<MouseResponder> FirstResponderHandling(const KsPointF& point, Event event);

  KsRef<MouseResponder> m_captured;
  bool m_capturedByRight = false;
  KsRef<HcClock> m_idleClock;
};
HC_CLASS_OBJECT(MouseForwardingResponder, MouseResponder)
