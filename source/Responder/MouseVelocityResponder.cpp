#include "Responder/MouseVelocityResponder.h"

MouseVelocityResponder::MouseVelocityResponder() = default;
MouseVelocityResponder::~MouseVelocityResponder() = default;

eAppErr MouseVelocityResponder::SetSpeedX(float speed) {
  m_speedX = speed;
  return AppErr::kNoErr;
}

eAppErr MouseVelocityResponder::SetSpeedY(float speed) {
  m_speedY = speed;
  return AppErr::kNoErr;
}

eAppErr MouseVelocityResponder::SetSpeedScroll(float speed) {
  m_speedScroll = speed;
  return AppErr::kNoErr;
}
