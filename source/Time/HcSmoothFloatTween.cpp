#include "Time/HcSmoothFloatTween.h"

#include <cmath>

#include "Time/HcStaticFloatTween.h"

HcSmoothFloatTween::HcSmoothFloatTween() = default;
HcSmoothFloatTween::~HcSmoothFloatTween() = default;

eAppErr HcSmoothFloatTween::DoEvaluate(double t, const KsRef<HcClock>&) {
  const double s = std::sin(RampFraction(t) * 1.5707963267948966);
  return WriteTweenFloat(*this, Blend(s * s));
}
