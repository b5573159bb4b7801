#pragma once

#include "Time/HcTween.h"

// Does nothing and says it ran.
class DoNothingTween : public HcTween {
  HC_CLASS_HEADER(DoNothingTween)
 public:
  eAppErr DoEvaluate(double, const KsRef<HcClock>&) override { return AppErr::kNoErr; }
};
HC_CLASS_OBJECT(DoNothingTween, HcTween)
