#include "Time/HcSineFloatTween.h"

#include <cmath>

#include "Time/HcStaticFloatTween.h"

namespace {
// 2π rounded to single precision, as the wave has always been computed.
constexpr double kTwoPiSingle = 6.2831854820251465;
}  // namespace

HcSineFloatTween::HcSineFloatTween() = default;
HcSineFloatTween::~HcSineFloatTween() = default;

eAppErr HcSineFloatTween::DoEvaluate(double t, const KsRef<HcClock>&) {
  if (m_period == 0.0f) return kNothingDone;
  const double start = GetStartTime();
  const double base = start >= 0.0 ? start : 0.0;
  const double x = ((t - base) + static_cast<double>(m_startPhase)) * kTwoPiSingle / static_cast<double>(m_period);
  const double value = static_cast<double>(m_offset) + static_cast<double>(m_amplitude) * std::sin(x);
  return WriteTweenFloat(*this, static_cast<float>(value));
}

eAppErr HcSineFloatTween::SetPeriod(float period) {
  m_period = period;
  return AppErr::kNoErr;
}

eAppErr HcSineFloatTween::SetAmplitude(float amplitude) {
  m_amplitude = amplitude;
  return AppErr::kNoErr;
}

eAppErr HcSineFloatTween::SetStartPhase(float phase) {
  m_startPhase = phase;
  return AppErr::kNoErr;
}

eAppErr HcSineFloatTween::SetOffset(float offset) {
  m_offset = offset;
  return AppErr::kNoErr;
}
