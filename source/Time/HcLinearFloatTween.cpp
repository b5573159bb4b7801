#include "Time/HcLinearFloatTween.h"

#include "Time/HcStaticFloatTween.h"

HcLinearFloatTween::HcLinearFloatTween() = default;
HcLinearFloatTween::~HcLinearFloatTween() = default;

double HcLinearFloatTween::RampFraction(double t) const {
  const double start = GetStartTime();
  const double end = GetEndTime();
  if (!(start >= 0.0) || !(end >= 0.0) || !(end > start)) return 1.0;
  return (t - start) / (end - start);
}

float HcLinearFloatTween::Blend(double w) const {
  return static_cast<float>((1.0 - w) * static_cast<double>(m_startValue) + w * static_cast<double>(m_endValue));
}

eAppErr HcLinearFloatTween::DoEvaluate(double t, const KsRef<HcClock>&) {
  return WriteTweenFloat(*this, Blend(RampFraction(t)));
}

eAppErr HcLinearFloatTween::SetStartValue(float value) {
  m_startValue = value;
  return AppErr::kNoErr;
}

eAppErr HcLinearFloatTween::SetEndValue(float value) {
  m_endValue = value;
  return AppErr::kNoErr;
}
