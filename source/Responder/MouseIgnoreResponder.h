#pragma once

#include "Responder/MouseResponder.h"

// A responder that takes mouse events without acting on them; a transparent
// one lets them pass to the views below.
class MouseIgnoreResponder : public MouseResponder {
  HC_CLASS_HEADER(MouseIgnoreResponder)
 public:
  enum : int32_t { kTransparentId = 300 };

  MouseIgnoreResponder();
  ~MouseIgnoreResponder() override;

  bool GetTransparent() const { return m_transparent; }
  eAppErr SetTransparent(bool transparent);

 private:
  bool m_transparent = false;
};
HC_CLASS_OBJECT(MouseIgnoreResponder, MouseResponder)
