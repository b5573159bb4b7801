#pragma once

#include "Time/HcTransition.h"

class FloatSequenceTween;
class HcMovieTween;

// Hands control back to a suspended tween without a jump: while it runs it
// pulls the properties the target tween drives a growing fraction of the way
// (the weight, 0 to 1 over Duration) toward what that tween would write now,
// and when it is over it enables the target tween. It knows how to blend a
// FloatSequenceTween and an HcMovieTween (pan the short way round); another
// target tween is only enabled at the end. The idle auto-pan is one, with the
// idle tween as its target tween.
class ConvergentTransition : public HcTransition {
  HC_CLASS_HEADER(ConvergentTransition)
 public:
  enum : int32_t { kTargetTweenId = 400 };

  ConvergentTransition();
  ~ConvergentTransition() override;

  eAppErr DoEvaluate(double t, const KsRef<HcClock>& clock) override;
  // Disables the target tween, then resets as a transition.
  eAppErr Reset() override;

  eAppErr DoEvaluateSequenceTween(const KsRef<FloatSequenceTween>& sequence, double targetTime, float weight);

  KsRef<HcTween> GetTargetTween() const;
  eAppErr SetTargetTween(const KsRef<HcTween>& tween);

 private:
  void BlendMovieTween(const KsRef<HcMovieTween>& movieTween, double targetTime, float weight);
  double Weight(double t) const;

  KsRef<HcTween> m_targetTween;
};
HC_CLASS_OBJECT(ConvergentTransition, HcTransition)
