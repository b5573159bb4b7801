#include "Responder/MouseForwardingResponder.h"

#include <utility>

#include "Time/HcClock.h"
#include "View/HcView.h"
#include "View/ViewCollection.h"

MouseForwardingResponder::MouseForwardingResponder() = default;
MouseForwardingResponder::~MouseForwardingResponder() = default;

eAppErr MouseForwardingResponder::SetClock(const KsRef<HcClock>& clock) {
  m_idleClock = clock;
  return AppErr::kNoErr;
}

void MouseForwardingResponder::ResetIdle() {
  if (m_idleClock) m_idleClock->ResetIdle();
}

void MouseForwardingResponder::ReleaseStaleCapture(const KsPointF& point) {
  KsRef<MouseResponder> stale = std::exchange(m_captured, nullptr);
  if (!stale) return;
  if (m_capturedByRight) {
    stale->MouseRightUp(point, nullptr);
  } else {
    stale->MouseUp(point, nullptr);
  }
}

template <class Event>
KsRef<MouseResponder> MouseForwardingResponder::FirstResponderHandling(const KsPointF& point, Event event) {
  KsRef<HcView> root = GetView();
  if (!root) return {};
  KsRef<ViewCollection> views = HcView::GetViewsAtPoint(root, point);
  const uint32_t count = views ? views->GetCount() : 0;
  for (uint32_t i = 0; i < count; ++i) {
    KsRef<HcView> view = views->GetByIndex(i);
    KsRef<MouseResponder> responder = view ? view->GetMouseResponder() : KsRef<MouseResponder>();
    if (responder && event(*responder)) return responder;
  }
  return {};
}

bool MouseForwardingResponder::MouseDown(const KsPointF& point, uint32_t* cursor) {
  MouseResponder::MouseDown(point, cursor);
  ResetIdle();
  ReleaseStaleCapture(point);
  m_captured = FirstResponderHandling(point, [&](MouseResponder& r) { return r.MouseDown(point, cursor); });
  m_capturedByRight = false;
  return static_cast<bool>(m_captured);
}

bool MouseForwardingResponder::MouseRightDown(const KsPointF& point, uint32_t* cursor) {
  ResetIdle();
  ReleaseStaleCapture(point);
  m_captured = FirstResponderHandling(point, [&](MouseResponder& r) { return r.MouseRightDown(point, cursor); });
  m_capturedByRight = true;
  return static_cast<bool>(m_captured);
}

void MouseForwardingResponder::MouseUp(const KsPointF& point, uint32_t* cursor) {
  MouseResponder::MouseUp(point, cursor);
  ResetIdle();
  if (KsRef<MouseResponder> captured = std::exchange(m_captured, nullptr)) captured->MouseUp(point, cursor);
}

void MouseForwardingResponder::MouseRightUp(const KsPointF& point, uint32_t* cursor) {
  ResetIdle();
  if (KsRef<MouseResponder> captured = std::exchange(m_captured, nullptr)) captured->MouseRightUp(point, cursor);
}

bool MouseForwardingResponder::MouseMoved(const KsPointF& point, uint32_t* cursor) {
  if (IsButtonDown()) {
    ResetIdle();
    return m_captured ? m_captured->MouseMoved(point, cursor) : false;
  }
  MouseResponder::MouseMoved(point, cursor);
  return static_cast<bool>(
      FirstResponderHandling(point, [&](MouseResponder& r) { return r.MouseMoved(point, cursor); }));
}

bool MouseForwardingResponder::MouseScrolled(const KsPointF& point, float delta) {
  ResetIdle();
  return static_cast<bool>(
      FirstResponderHandling(point, [&](MouseResponder& r) { return r.MouseScrolled(point, delta); }));
}
