#pragma once

#include "Responder/MouseResponder.h"

// The mouse responder of the panoramic views: dragging turns the view,
// scrolling zooms; the speeds scale both.
class MouseVelocityResponder : public MouseResponder {
  HC_CLASS_HEADER(MouseVelocityResponder)
 public:
  enum : int32_t { kSpeedXId = 300, kSpeedYId = 301, kSpeedScrollId = 302 };

  MouseVelocityResponder();
  ~MouseVelocityResponder() override;

  float GetSpeedX() const { return m_speedX; }
  eAppErr SetSpeedX(float speed);
  float GetSpeedY() const { return m_speedY; }
  eAppErr SetSpeedY(float speed);
  float GetSpeedScroll() const { return m_speedScroll; }
  eAppErr SetSpeedScroll(float speed);

 private:
  float m_speedX = 5.0f;
  float m_speedY = 5.0f;
  float m_speedScroll = 1.0f;
};
HC_CLASS_OBJECT(MouseVelocityResponder, MouseResponder)
