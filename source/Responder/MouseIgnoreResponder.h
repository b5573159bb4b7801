#pragma once

#include "Responder/MouseResponder.h"

// A responder that takes mouse events without acting on them: an opaque one
// (the default) swallows every event that reaches it, a transparent one lets
// the forwarding responder go on to the next view under the pointer. It
// records nothing.
class MouseIgnoreResponder : public MouseResponder {
  HC_CLASS_HEADER(MouseIgnoreResponder)
 public:
  enum : int32_t { kTransparentId = 300 };

  MouseIgnoreResponder();
  ~MouseIgnoreResponder() override;

  bool MouseDown(const KsPointF& point, uint32_t* cursor) override;
  void MouseUp(const KsPointF& point, uint32_t* cursor) override;
  bool MouseRightDown(const KsPointF& point, uint32_t* cursor) override;
  void MouseRightUp(const KsPointF& point, uint32_t* cursor) override;
  bool MouseMoved(const KsPointF& point, uint32_t* cursor) override;
  bool MouseScrolled(const KsPointF& point, float delta) override;

  bool GetTransparent() const { return m_transparent; }
  eAppErr SetTransparent(bool transparent);

 private:
  bool m_transparent = false;
};
HC_CLASS_OBJECT(MouseIgnoreResponder, MouseResponder)
