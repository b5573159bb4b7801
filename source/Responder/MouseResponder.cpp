#include "Responder/MouseResponder.h"

#include "Time/QTSystemClock.h"
#include "View/PanoView.h"

MouseResponder::MouseResponder() : m_realtimeClock(QTSystemClock::GetSharedClock()) {}
MouseResponder::~MouseResponder() = default;

bool MouseResponder::MouseDown(const KsPointF& point, uint32_t*) {
  m_pressPoint = point;
  m_buttonDown = true;
  m_pressTime = m_realtimeClock ? static_cast<float>(m_realtimeClock->GetTimeNow()) : 0.0f;
  return true;
}

void MouseResponder::MouseUp(const KsPointF&, uint32_t*) {
  m_buttonDown = false;
  m_pressPoint = KsPointF{};
}

bool MouseResponder::MouseRightDown(const KsPointF&, uint32_t*) { return true; }

void MouseResponder::MouseRightUp(const KsPointF&, uint32_t*) {}

bool MouseResponder::MouseMoved(const KsPointF& point, uint32_t*) {
  m_lastPoint = point;
  m_lastPan = 0.0f;
  m_lastTilt = 0.0f;
  m_lastResult = AppErr::kNoErr;
  return true;
}

bool MouseResponder::MouseScrolled(const KsPointF&, float) { return true; }

eAppErr MouseResponder::SetView(const KsRef<HcView>& view) {
  m_view = WeakRef::GetWeakRef(view.Get());
  return AppErr::kNoErr;
}

KsRef<HcView> MouseResponder::GetView() const { return m_view ? m_view->GetTargetAs<HcView>() : KsRef<HcView>(); }

eAppErr MouseResponder::ComputeLastDirection(const char* method) {
  m_lastPan = 0.0f;
  m_lastTilt = 0.0f;
  KsRef<PanoView> view = GetView().DynamicCast<PanoView>();
  m_lastResult = view ? view->DirectionAtPointDeg(m_lastPoint, &m_lastPan, &m_lastTilt) : AppErr::kUnsupportedType;
  if (AppErrFailed(m_lastResult)) return KS_TRACE_ERR(m_lastResult, method);
  return m_lastResult;
}

eAppErr MouseResponder::GetLastPanAngle(float* pan) {
  const eAppErr err = ComputeLastDirection("GetLastPanAngle");
  if (pan) *pan = m_lastPan;
  return err;
}

eAppErr MouseResponder::GetLastTiltAngle(float* tilt) {
  const eAppErr err = ComputeLastDirection("GetLastTiltAngle");
  if (tilt) *tilt = m_lastTilt;
  return err;
}

float MouseResponder::GetLastPanAngleValue() {
  float pan = 0.0f;
  GetLastPanAngle(&pan);
  return pan;
}

float MouseResponder::GetLastTiltAngleValue() {
  float tilt = 0.0f;
  GetLastTiltAngle(&tilt);
  return tilt;
}

void MouseResponder::StopTweens() {}

void MouseResponder::SetRealtimeClock(const KsRef<HcClock>& clock) {
  StopTweens();
  m_realtimeClock = clock;
}
