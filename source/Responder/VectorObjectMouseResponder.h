#pragma once

#include "Responder/MouseResponder.h"
#include "Utilities/HcPropertyBindingBase.h"

// Makes the vector objects of an overlay view clickable: it follows which
// object the pointer is over, tells pressable objects (glyph buttons, which
// fire their own action) of entry, exit, press and release, and writes any
// other clicked object through DefaultAction. Hovering over an object shows
// CursorOver, pressing one CursorDown, hovering elsewhere cursor 1. Press and
// move do not record the base class's press or last point.
class VectorObjectMouseResponder : public MouseResponder {
  HC_CLASS_HEADER(VectorObjectMouseResponder)
 public:
  enum : int32_t { kDefaultActionId = 300, kCursorOverId = 301, kCursorDownId = 302 };

  VectorObjectMouseResponder();
  ~VectorObjectMouseResponder() override;

  // Not handled over empty space, so the press goes on to the next view.
  bool MouseDown(const KsPointF& point, uint32_t* cursor) override;
  void MouseUp(const KsPointF& point, uint32_t* cursor) override;
  bool MouseMoved(const KsPointF& point, uint32_t* cursor) override;

  KsRef<HcPropertyBindingBase> GetDefaultAction() const { return m_defaultAction; }
  eAppErr SetDefaultAction(const KsRef<HcPropertyBindingBase>& action);
  int32_t GetCursorOver() const { return m_cursorOver; }
  eAppErr SetCursorOver(int32_t cursor);
  int32_t GetCursorDown() const { return m_cursorDown; }
  eAppErr SetCursorDown(int32_t cursor);

  KsRef<KsObject> GetHoverObject() const { return m_hoverObject; }
  KsRef<KsObject> GetPressedObject() const { return m_pressedObject; }

 private:
  KsRef<HcPropertyBindingBase> m_defaultAction;
  int32_t m_cursorOver = kCursorObject;
  int32_t m_cursorDown = kCursorObject;
  KsRef<KsObject> m_hoverObject;
  KsRef<KsObject> m_pressedObject;
};
HC_CLASS_OBJECT(VectorObjectMouseResponder, MouseResponder)
