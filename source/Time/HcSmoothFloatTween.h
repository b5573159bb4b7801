#pragma once

#include "Time/HcLinearFloatTween.h"

// The ramp of HcLinearFloatTween eased in and out: the weight is sin²(u·π/2),
// flat at both ends.
class HcSmoothFloatTween : public HcLinearFloatTween {
  HC_CLASS_HEADER(HcSmoothFloatTween)
 public:
  HcSmoothFloatTween();
  ~HcSmoothFloatTween() override;

  eAppErr DoEvaluate(double t, const KsRef<HcClock>& clock) override;
};
HC_CLASS_OBJECT(HcSmoothFloatTween, HcLinearFloatTween)
