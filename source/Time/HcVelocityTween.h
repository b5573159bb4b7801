#pragma once

#include <atomic>

#include "Time/HcPropertyTween.h"

// Writes the step of one tick, (t - previous t) · Velocity, not a position;
// the first evaluation after a (re)start only records the time.
class HcVelocityTween : public HcPropertyTween {
  HC_CLASS_HEADER(HcVelocityTween)
 public:
  enum : int32_t { kVelocityId = 400 };

  HcVelocityTween();
  ~HcVelocityTween() override;

  eAppErr DoEvaluate(double t, const KsRef<HcClock>& clock) override;

  // Stores the velocity; the started state is left as it is.
  virtual eAppErr SetVelocity(float velocity);
  // Stores the velocity and restarts when its sign (bit) changes or when asked.
  virtual eAppErr ChangeVelocity(float velocity, bool restart = false);
  virtual float GetVelocity() const { return m_velocity.load(std::memory_order_relaxed); }

 private:
  std::atomic<float> m_velocity{0.0f};
  std::atomic<bool> m_started{false};
  double m_lastTime = 0.0;
};
HC_CLASS_OBJECT(HcVelocityTween, HcPropertyTween)
