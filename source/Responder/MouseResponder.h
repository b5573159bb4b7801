#pragma once

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "General/KsPoint.h"
#include "General/WeakRef.h"
#include "Time/HcClock.h"

class HcView;

// The base of every mouse responder: it turns pointer events, given in the
// coordinates of the view that owns it (y up), into property changes. The
// view holds its responder; the responder holds the view weakly.
//
// The down, move and scroll events answer whether the responder handled the
// event. An event may report a cursor code through `cursor` (null: the caller
// wants none); a responder with nothing to say leaves it untouched. Codes:
// 1 not over an object, 3 over or pressing an object, 7 steering, 8 no drag,
// 9 pressed or inside the drag's dead zone, and the drag direction bits 256
// (+y), 512 (+x), 1024 (-y), 2048 (-x), combined for diagonal drags.
//
// Responders run on the main thread only. The tweens they start run on
// RealtimeClock: the process-wide real-time clock, taken when the responder
// is made (a scene may hand it another clock before the first event).
class MouseResponder : public KsObject {
  HC_CLASS_HEADER(MouseResponder)
 public:
  enum : int32_t { kViewId = 200, kLastPanAngleId = 201, kLastTiltAngleId = 202 };
  enum : uint32_t {
    kCursorNoObject = 1,
    kCursorObject = 3,
    kCursorSteer = 7,
    kCursorIdle = 8,
    kCursorPressed = 9,
    kCursorUp = 256,
    kCursorRight = 512,
    kCursorDown = 1024,
    kCursorLeft = 2048,
  };

  MouseResponder();
  ~MouseResponder() override;

  // Records the press point, the button and the clock's time; handled.
  virtual bool MouseDown(const KsPointF& point, uint32_t* cursor);
  // Clears the button and the press point.
  virtual void MouseUp(const KsPointF& point, uint32_t* cursor);
  virtual bool MouseRightDown(const KsPointF& point, uint32_t* cursor);
  virtual void MouseRightUp(const KsPointF& point, uint32_t* cursor);
  // Records the point as LastPoint; handled.
  virtual bool MouseMoved(const KsPointF& point, uint32_t* cursor);
  virtual bool MouseScrolled(const KsPointF& point, float delta);
  // Stores the view's weak reference (none clears it); no change notice.
  virtual eAppErr SetView(const KsRef<HcView>& view);
  // The view while it lives, else empty.
  virtual KsRef<HcView> GetView() const;
  // The direction under LastPoint, computed afresh: 0 (or the view's
  // positive status) with the angle, -102 with 0 when the view is missing or
  // not panoramic, or the view's failure.
  virtual eAppErr GetLastPanAngle(float* pan);
  virtual eAppErr GetLastTiltAngle(float* tilt);
  // Takes off the clock the tweens this responder put there for input in
  // progress (the scene calls it when it switches viewsets); the base has none.
  virtual void StopTweens();

  float GetLastPanAngleValue();
  float GetLastTiltAngleValue();

  KsRef<HcClock> GetRealtimeClock() const { return m_realtimeClock; }
  // Not a property: scenes and tests that run on a clock of their own.
  void SetRealtimeClock(const KsRef<HcClock>& clock);

  KsPointF GetPressPoint() const { return m_pressPoint; }
  KsPointF GetLastPoint() const { return m_lastPoint; }
  float GetPressTime() const { return m_pressTime; }
  bool IsButtonDown() const { return m_buttonDown; }

 private:
  eAppErr ComputeLastDirection(const char* method);

  KsRef<HcClock> m_realtimeClock;
  WeakRef::Ref m_view;
  KsPointF m_pressPoint;
  KsPointF m_lastPoint;
  float m_pressTime = 0.0f;
  bool m_buttonDown = false;
  float m_lastPan = 0.0f;
  float m_lastTilt = 0.0f;
  eAppErr m_lastResult = AppErr::kNoErr;
};
HC_CLASS_OBJECT(MouseResponder, KsObject)
