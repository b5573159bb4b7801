#pragma once

#include "Responder/MouseResponder.h"
#include "Time/HcAbsVelocityTween.h"

// The mouse responder of the panoramic views: the offset of the pointer from
// the press point sets a pan and a tilt velocity, so the view keeps turning
// while the button is held away from the press point, faster the farther
// away (a drag of one frame width at SpeedX 5 turns five fields of view a
// second); the release stops it. The scroll wheel zooms by SpeedScroll
// degrees per unit.
//
// Two velocity tweens do the turning on RealtimeClock, bound weakly to the
// view's "PanAngle" and "TiltAngle"; they are on the clock from the press to
// the release, and never twice. They are taken off when the responder dies,
// when it is given another view (the next press binds new ones to that view)
// and when the scene stops input tweens.
class MouseVelocityResponder : public MouseResponder {
  HC_CLASS_HEADER(MouseVelocityResponder)
 public:
  enum : int32_t { kSpeedXId = 300, kSpeedYId = 301, kSpeedScrollId = 302 };
  // Drags closer to the press point than this, in both axes, show cursor 9.
  static constexpr float kDeadZone = 3.0f;

  MouseVelocityResponder();
  ~MouseVelocityResponder() override;

  bool MouseDown(const KsPointF& point, uint32_t* cursor) override;
  void MouseUp(const KsPointF& point, uint32_t* cursor) override;
  bool MouseMoved(const KsPointF& point, uint32_t* cursor) override;
  bool MouseScrolled(const KsPointF& point, float delta) override;
  eAppErr SetView(const KsRef<HcView>& view) override;
  void StopTweens() override;

  float GetSpeedX() const { return m_speedX; }
  eAppErr SetSpeedX(float speed);
  float GetSpeedY() const { return m_speedY; }
  eAppErr SetSpeedY(float speed);
  float GetSpeedScroll() const { return m_speedScroll; }
  eAppErr SetSpeedScroll(float speed);

  KsRef<HcAbsVelocityTween> GetPanTween() const { return m_panTween; }
  KsRef<HcAbsVelocityTween> GetTiltTween() const { return m_tiltTween; }

  // The cursor of a drag by (dx, dy) from the press point.
  static uint32_t DragCursor(float dx, float dy);

 private:
  void TakeTweensOff();

  KsRef<HcAbsVelocityTween> m_panTween;
  KsRef<HcAbsVelocityTween> m_tiltTween;
  float m_speedX = 5.0f;
  float m_speedY = 5.0f;
  float m_speedScroll = 1.0f;
};
HC_CLASS_OBJECT(MouseVelocityResponder, MouseResponder)
