#include "Responder/MouseIgnoreResponder.h"

MouseIgnoreResponder::MouseIgnoreResponder() = default;
MouseIgnoreResponder::~MouseIgnoreResponder() = default;

eAppErr MouseIgnoreResponder::SetTransparent(bool transparent) {
  m_transparent = transparent;
  return AppErr::kNoErr;
}

bool MouseIgnoreResponder::MouseDown(const KsPointF&, uint32_t*) { return !m_transparent; }
void MouseIgnoreResponder::MouseUp(const KsPointF&, uint32_t*) {}
bool MouseIgnoreResponder::MouseRightDown(const KsPointF&, uint32_t*) { return !m_transparent; }
void MouseIgnoreResponder::MouseRightUp(const KsPointF&, uint32_t*) {}
bool MouseIgnoreResponder::MouseMoved(const KsPointF&, uint32_t*) { return !m_transparent; }
bool MouseIgnoreResponder::MouseScrolled(const KsPointF&, float) { return !m_transparent; }
