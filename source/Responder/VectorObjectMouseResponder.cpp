#include "Responder/VectorObjectMouseResponder.h"

#include <utility>

#include "Responder/PressableVectorObject.h"
#include "Responder/VectorObjectHost.h"
#include "Utilities/HcPropertyBindingBase.h"
#include "View/HcView.h"

VectorObjectMouseResponder::VectorObjectMouseResponder() = default;
VectorObjectMouseResponder::~VectorObjectMouseResponder() = default;

bool VectorObjectMouseResponder::MouseMoved(const KsPointF& point, uint32_t* cursor) {
  KsRef<HcView> view = GetView();
  VectorObjectHost* host = VectorObjectHost::Of(view.Get());
  if (!host) return false;
  if (cursor) *cursor = kCursorNoObject;
  if (m_hoverObject) {
    if (host->ObjectContainsPoint(m_hoverObject, point)) {
      if (cursor) *cursor = static_cast<uint32_t>(m_cursorOver);
      return true;
    }
    if (PressableVectorObject* pressable = PressableVectorObject::Of(m_hoverObject.Get())) pressable->CursorExited();
    m_hoverObject = nullptr;
  }
  m_hoverObject = host->GetObjectAtPoint(point);
  if (!m_hoverObject) return false;
  if (PressableVectorObject* pressable = PressableVectorObject::Of(m_hoverObject.Get())) pressable->CursorEntered();
  if (cursor) *cursor = static_cast<uint32_t>(m_cursorOver);
  return true;
}

bool VectorObjectMouseResponder::MouseDown(const KsPointF& point, uint32_t* cursor) {
  KsRef<HcView> view = GetView();
  VectorObjectHost* host = VectorObjectHost::Of(view.Get());
  if (!host) return false;
  m_pressedObject = host->GetObjectAtPoint(point);
  if (!m_pressedObject) return false;
  if (cursor) *cursor = static_cast<uint32_t>(m_cursorDown);
  if (PressableVectorObject* pressable = PressableVectorObject::Of(m_pressedObject.Get())) pressable->MouseDown();
  return true;
}

void VectorObjectMouseResponder::MouseUp(const KsPointF& point, uint32_t* cursor) {
  KsRef<HcView> view = GetView();
  VectorObjectHost* host = VectorObjectHost::Of(view.Get());
  if (!host) return;
  KsRef<KsObject> pressed = std::move(m_pressedObject);
  m_pressedObject = nullptr;
  if (!pressed || !host->ObjectContainsPoint(pressed, point)) return;
  if (cursor) *cursor = static_cast<uint32_t>(m_cursorOver);
  if (PressableVectorObject* pressable = PressableVectorObject::Of(pressed.Get())) {
    pressable->MouseUp();
  } else if (m_defaultAction) {
    m_defaultAction->SetValue(pressed);
  }
}

eAppErr VectorObjectMouseResponder::SetDefaultAction(const KsRef<HcPropertyBindingBase>& action) {
  DidChangeCaller change(this, kDefaultActionId);
  m_defaultAction = action;
  return AppErr::kNoErr;
}

eAppErr VectorObjectMouseResponder::SetCursorOver(int32_t cursor) {
  DidChangeCaller change(this, kCursorOverId);
  m_cursorOver = cursor;
  return AppErr::kNoErr;
}

eAppErr VectorObjectMouseResponder::SetCursorDown(int32_t cursor) {
  DidChangeCaller change(this, kCursorDownId);
  m_cursorDown = cursor;
  return AppErr::kNoErr;
}
