#pragma once

#include "Time/HcPropertyTween.h"

// Writes a straight ramp from StartValue at StartTime to EndValue at
// EndTime. A window without a positive width (an open bound, or EndTime not
// after StartTime) counts as already complete: it writes EndValue.
class HcLinearFloatTween : public HcPropertyTween {
  HC_CLASS_HEADER(HcLinearFloatTween)
 public:
  enum : int32_t { kStartValueId = 400, kEndValueId = 401 };

  HcLinearFloatTween();
  ~HcLinearFloatTween() override;

  eAppErr DoEvaluate(double t, const KsRef<HcClock>& clock) override;

  virtual eAppErr SetStartValue(float value);
  virtual eAppErr SetEndValue(float value);
  virtual float GetStartValue() const { return m_startValue; }
  virtual float GetEndValue() const { return m_endValue; }

 protected:
  // The part of the window covered at t (0 at StartTime, 1 at EndTime).
  double RampFraction(double t) const;
  // The value at weight w between the two values.
  float Blend(double w) const;

 private:
  float m_startValue = 0.0f;
  float m_endValue = 0.0f;
};
HC_CLASS_OBJECT(HcLinearFloatTween, HcPropertyTween)
