#pragma once

#include "Time/HcPropertyTween.h"

// Writes one constant float on every evaluation.
class HcStaticFloatTween : public HcPropertyTween {
  HC_CLASS_HEADER(HcStaticFloatTween)
 public:
  enum : int32_t { kValueId = 400 };

  HcStaticFloatTween();
  ~HcStaticFloatTween() override;

  eAppErr DoEvaluate(double t, const KsRef<HcClock>& clock) override;

  virtual eAppErr SetValue(float value);
  virtual float GetValue() const { return m_value; }

 private:
  float m_value = 0.0f;
};
HC_CLASS_OBJECT(HcStaticFloatTween, HcPropertyTween)

// Writes a float through the tween's binding: -6 without one, else the
// binding's answer.
eAppErr WriteTweenFloat(HcPropertyTween& tween, float value);
