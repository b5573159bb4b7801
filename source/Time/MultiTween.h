#pragma once

#include "Time/HcTween.h"
#include "Time/HcTweenCollection.h"

// Evaluates a list of tweens in order with its own time and clock; stops at
// the first failure, else answers the last tween's status.
class MultiTween : public HcTween {
  HC_CLASS_HEADER(MultiTween)
 public:
  enum : int32_t { kTweensId = 300 };

  MultiTween();
  ~MultiTween() override;

  eAppErr DoEvaluate(double t, const KsRef<HcClock>& clock) override;

  // None until set.
  KsRef<HcTweenCollection> GetTweens() const { return m_tweens; }
  eAppErr SetTweens(const KsRef<HcTweenCollection>& tweens);

 private:
  KsRef<HcTweenCollection> m_tweens;
};
HC_CLASS_OBJECT(MultiTween, HcTween)
