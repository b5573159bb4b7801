#include "Responder/MouseIgnoreResponder.h"

MouseIgnoreResponder::MouseIgnoreResponder() = default;
MouseIgnoreResponder::~MouseIgnoreResponder() = default;

eAppErr MouseIgnoreResponder::SetTransparent(bool transparent) {
  m_transparent = transparent;
  return AppErr::kNoErr;
}
