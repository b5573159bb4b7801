#include "Responder/MouseVelocityResponder.h"

#include <cmath>

#include "Time/HcAbsVelocityTween.h"
#include "Time/HcClock.h"
#include "Utilities/HcWeakPropertyBinding.h"
#include "View/PanoView.h"

namespace {

KsRef<HcAbsVelocityTween> MakeVelocityTween(const KsRef<PanoView>& view, const char* property, float modulus) {
  auto binding = KsMakeRef<HcWeakPropertyBinding>();
  binding->SetTargetObject(view);
  binding->SetPropertyName(PWStringRef(property));
  auto tween = KsMakeRef<HcAbsVelocityTween>();
  tween->SetModulus(modulus);
  tween->SetVelocity(0.0f);
  tween->SetBinding(binding);
  return tween;
}

// A velocity that is not finite (a frame without width, a point that is not
// a number) turns nothing.
float Finite(float velocity) { return std::isfinite(velocity) ? velocity : 0.0f; }

}  // namespace

MouseVelocityResponder::MouseVelocityResponder() = default;

MouseVelocityResponder::~MouseVelocityResponder() { TakeTweensOff(); }

uint32_t MouseVelocityResponder::DragCursor(float dx, float dy) {
  const float ax = std::fabs(dx);
  const float ay = std::fabs(dy);
  if (ax < kDeadZone && ay < kDeadZone) return kCursorPressed;
  const bool vertical = ay > 2.0f * ax;
  const bool horizontal = ax > 2.0f * ay;
  uint32_t code = 0;
  if (!vertical) code += dx > 0.0f ? kCursorRight : kCursorLeft;
  if (!horizontal) code += dy > 0.0f ? kCursorUp : kCursorDown;
  return code;
}

bool MouseVelocityResponder::MouseDown(const KsPointF& point, uint32_t* cursor) {
  MouseResponder::MouseDown(point, cursor);
  KsRef<PanoView> view = GetView().DynamicCast<PanoView>();
  if (!view) return false;
  if (!m_panTween) {
    m_panTween = MakeVelocityTween(view, "PanAngle", 360.0f);
    m_tiltTween = MakeVelocityTween(view, "TiltAngle", 0.0f);
  }
  for (HcAbsVelocityTween* tween : {m_panTween.Get(), m_tiltTween.Get()}) {
    tween->SetVelocity(0.0f);
    tween->Reset();
  }
  if (KsRef<HcClock> clock = GetRealtimeClock()) {
    clock->AddTween(m_panTween, /*unique=*/true);
    clock->AddTween(m_tiltTween, /*unique=*/true);
  }
  if (cursor) *cursor = kCursorPressed;
  return true;
}

bool MouseVelocityResponder::MouseMoved(const KsPointF& point, uint32_t* cursor) {
  MouseResponder::MouseMoved(point, cursor);
  if (!IsButtonDown()) {
    if (cursor) *cursor = kCursorIdle;
    return true;
  }
  KsRef<PanoView> view = GetView().DynamicCast<PanoView>();
  if (!view || !m_panTween) return true;
  const float width = view->GetFrame().w;
  const float vfov = view->GetConstrainedVFOV();
  const float dx = point.x - GetPressPoint().x;
  const float dy = point.y - GetPressPoint().y;
  if (cursor) *cursor = DragCursor(dx, dy);
  const float k = width > 0.0f ? 1.0f / width : 0.0f;
  m_panTween->SetVelocity(Finite(k * (vfov * dx * m_speedX)));
  m_tiltTween->SetVelocity(Finite(k * (vfov * dy * m_speedY)));
  return true;
}

void MouseVelocityResponder::MouseUp(const KsPointF& point, uint32_t* cursor) {
  MouseResponder::MouseUp(point, cursor);
  TakeTweensOff();
  if (cursor) *cursor = kCursorIdle;
}

bool MouseVelocityResponder::MouseScrolled(const KsPointF&, float delta) {
  if (KsRef<PanoView> view = GetView().DynamicCast<PanoView>()) {
    view->ChangeLookDirection(0.0f, 0.0f, -(delta * m_speedScroll), 0.0f);
  }
  return true;
}

eAppErr MouseVelocityResponder::SetView(const KsRef<HcView>& view) {
  if (view != GetView()) {
    TakeTweensOff();
    m_panTween = nullptr;
    m_tiltTween = nullptr;
  }
  return MouseResponder::SetView(view);
}

void MouseVelocityResponder::StopTweens() { TakeTweensOff(); }

void MouseVelocityResponder::TakeTweensOff() {
  if (!m_panTween) return;
  m_panTween->SetVelocity(0.0f);
  m_tiltTween->SetVelocity(0.0f);
  if (KsRef<HcClock> clock = GetRealtimeClock()) {
    if (clock->ContainsTween(m_panTween)) clock->RemoveTween(m_panTween);
    if (clock->ContainsTween(m_tiltTween)) clock->RemoveTween(m_tiltTween);
  }
}

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
