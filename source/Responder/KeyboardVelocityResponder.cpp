#include "Responder/KeyboardVelocityResponder.h"

KeyboardVelocityResponder::KeyboardVelocityResponder() = default;
KeyboardVelocityResponder::~KeyboardVelocityResponder() = default;

eAppErr KeyboardVelocityResponder::SetSpeedX(float speed) {
  m_speedX = speed;
  return AppErr::kNoErr;
}

eAppErr KeyboardVelocityResponder::SetSpeedY(float speed) {
  m_speedY = speed;
  return AppErr::kNoErr;
}

eAppErr KeyboardVelocityResponder::SetSpeedZ(float speed) {
  m_speedZ = speed;
  return AppErr::kNoErr;
}
