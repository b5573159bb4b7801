#pragma once

#include "Time/HcTween.h"

// Evaluates TrueTween while its condition holds and FalseTween otherwise,
// choosing afresh on every evaluation; 2 when the chosen tween is missing.
class ConditionalTween : public HcTween {
  HC_CLASS_HEADER(ConditionalTween)
 public:
  enum : int32_t { kTrueTweenId = 300, kFalseTweenId = 301 };

  ConditionalTween();
  ~ConditionalTween() override;

  eAppErr DoEvaluate(double t, const KsRef<HcClock>& clock) override;
  virtual bool EvaluateCondition() = 0;

  KsRef<HcTween> GetTrueTween() const { return m_trueTween; }
  eAppErr SetTrueTween(const KsRef<HcTween>& tween);
  KsRef<HcTween> GetFalseTween() const { return m_falseTween; }
  eAppErr SetFalseTween(const KsRef<HcTween>& tween);

 private:
  KsRef<HcTween> m_trueTween;
  KsRef<HcTween> m_falseTween;
};
HC_CLASS_OBJECT(ConditionalTween, HcTween)
