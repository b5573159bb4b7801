#include "Time/HcAbsVelocityTween.h"

#include <cmath>

#include "KsTrace.h"
#include "Time/HcStaticFloatTween.h"
#include "Utilities/HcPropertyBindingBase.h"

HcAbsVelocityTween::HcAbsVelocityTween() = default;
HcAbsVelocityTween::~HcAbsVelocityTween() = default;

void HcAbsVelocityTween::ReadStartValue(double t) {
  m_lastTime = t;
  KsRef<HcPropertyBindingBase> binding = GetBinding();
  float value = 0.0f;
  if (binding && !AppErrFailed(binding->GetValue(&value))) {
    m_accumulator = value;
    m_started.store(true, std::memory_order_relaxed);
  }
}

eAppErr HcAbsVelocityTween::DoEvaluate(double t, const KsRef<HcClock>&) {
  if (!GetBinding()) return AppErr::kNoErr;
  if (!m_started.load(std::memory_order_relaxed)) {
    ReadStartValue(t);
    return AppErr::kNoErr;
  }
  float value = static_cast<float>(static_cast<double>(m_accumulator) +
                                   (t - m_lastTime) * static_cast<double>(GetVelocity()));
  const float modulus = GetModulus();
  if (modulus != 0.0f) {
    value = static_cast<float>(std::fmod(static_cast<double>(value), static_cast<double>(modulus)));
  }
  m_lastTime = t;
  m_accumulator = value;
  const eAppErr result = WriteTweenFloat(*this, value);
  if (AppErrFailed(result)) return KS_TRACE_ERR(result, "DoEvaluate");
  return result;
}

eAppErr HcAbsVelocityTween::SetVelocity(float velocity) {
  const float old = m_velocity.exchange(velocity, std::memory_order_relaxed);
  if (std::signbit(old) != std::signbit(velocity)) Reset();
  return AppErr::kNoErr;
}

eAppErr HcAbsVelocityTween::SetModulus(float modulus) {
  m_modulus.store(modulus, std::memory_order_relaxed);
  return AppErr::kNoErr;
}
