#pragma once

#include <atomic>

#include "Time/HcPropertyTween.h"

// Accumulates a position at Velocity units per second, starting from the
// bound property's value read at each (re)start, wrapped by the remainder of
// Modulus when Modulus is not 0. Between restarts the tween owns the value.
class HcAbsVelocityTween : public HcPropertyTween {
  HC_CLASS_HEADER(HcAbsVelocityTween)
 public:
  enum : int32_t { kVelocityId = 400, kModulusId = 401 };

  HcAbsVelocityTween();
  ~HcAbsVelocityTween() override;

  eAppErr DoEvaluate(double t, const KsRef<HcClock>& clock) override;

  // Restarts when the sign (bit) of the velocity changes.
  eAppErr SetVelocity(float velocity);
  float GetVelocity() const { return m_velocity.load(std::memory_order_relaxed); }
  eAppErr SetModulus(float modulus);
  float GetModulus() const { return m_modulus.load(std::memory_order_relaxed); }
  // The next evaluation starts again from the property's value.
  void Reset() { m_started.store(false, std::memory_order_relaxed); }

 private:
  // Records t and reads the property into the accumulator; started only
  // when the read succeeded.
  void ReadStartValue(double t);

  std::atomic<float> m_modulus{0.0f};
  std::atomic<float> m_velocity{0.0f};
  float m_accumulator = 0.0f;
  double m_lastTime = 0.0;
  std::atomic<bool> m_started{false};
};
HC_CLASS_OBJECT(HcAbsVelocityTween, HcPropertyTween)
