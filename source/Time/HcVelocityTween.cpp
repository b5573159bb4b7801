#include "Time/HcVelocityTween.h"

#include <cmath>

#include "Time/HcStaticFloatTween.h"

HcVelocityTween::HcVelocityTween() = default;
HcVelocityTween::~HcVelocityTween() = default;

eAppErr HcVelocityTween::DoEvaluate(double t, const KsRef<HcClock>&) {
  if (!m_started.exchange(true, std::memory_order_relaxed)) {
    m_lastTime = t;
    return AppErr::kNoErr;
  }
  const double step = (t - m_lastTime) * static_cast<double>(GetVelocity());
  const eAppErr result = WriteTweenFloat(*this, static_cast<float>(step));
  m_lastTime = t;
  return result;
}

eAppErr HcVelocityTween::SetVelocity(float velocity) {
  m_velocity.store(velocity, std::memory_order_relaxed);
  return AppErr::kNoErr;
}

eAppErr HcVelocityTween::ChangeVelocity(float velocity, bool restart) {
  const float old = m_velocity.exchange(velocity, std::memory_order_relaxed);
  if (restart || std::signbit(old) != std::signbit(velocity)) m_started.store(false, std::memory_order_relaxed);
  return AppErr::kNoErr;
}
