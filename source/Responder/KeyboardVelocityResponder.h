#pragma once

#include "Responder/KeyboardResponder.h"

// The keyboard responder of the panoramic views: held keys turn, tilt, zoom
// and skew the view at rates the speeds scale.
class KeyboardVelocityResponder : public KeyboardResponder {
  HC_CLASS_HEADER(KeyboardVelocityResponder)
 public:
  enum : int32_t { kSpeedXId = 300, kSpeedYId = 301, kSpeedZId = 302 };

  KeyboardVelocityResponder();
  ~KeyboardVelocityResponder() override;

  float GetSpeedX() const { return m_speedX; }
  eAppErr SetSpeedX(float speed);
  float GetSpeedY() const { return m_speedY; }
  eAppErr SetSpeedY(float speed);
  float GetSpeedZ() const { return m_speedZ; }
  eAppErr SetSpeedZ(float speed);

 private:
  float m_speedX = 1.0f;
  float m_speedY = 1.0f;
  float m_speedZ = 1.0f;
};
HC_CLASS_OBJECT(KeyboardVelocityResponder, KeyboardResponder)
