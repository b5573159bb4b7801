#pragma once

#include <atomic>

#include "Time/HcTween.h"

class FloatBindingTuple;
class FloatBindingTupleCollection;
class FloatCollection;

// Plays a keyframe table: shared timestamps (seconds, ascending) and, per
// bound property, one float per timestamp, held (Interpolator 0) or
// interpolated linearly (1) at the clock's time plus TimeOffset. Each lookup
// starts from the index the previous one found, so playing forwards or
// backwards costs a comparison or two per tick.
class FloatSequenceTween : public HcTween {
  HC_CLASS_HEADER(FloatSequenceTween)
 public:
  enum : int32_t { kTimestampsId = 300, kTimeOffsetId = 301, kBindingsId = 302, kInterpolatorId = 303 };
  enum : int32_t { kStep = 0, kLinear = 1 };

  FloatSequenceTween();
  ~FloatSequenceTween() override;

  // 0 without timestamps or tuples; stops at the first failing lookup or write.
  eAppErr DoEvaluate(double t, const KsRef<HcClock>& clock) override;

  // The tuple's value at time t (plus TimeOffset): -2 without timestamps or tuples.
  eAppErr GetValueForTime(const KsRef<FloatBindingTuple>& tuple, double t, float* value);

  // Made empty on first use. Setting the timestamps restarts the lookup from the first.
  KsRef<FloatCollection> GetTimestamps();
  eAppErr SetTimestamps(const KsRef<FloatCollection>& timestamps);
  KsRef<FloatBindingTupleCollection> GetBindings();
  eAppErr SetBindings(const KsRef<FloatBindingTupleCollection>& bindings);
  double GetTimeOffset() const { return m_timeOffset; }
  eAppErr SetTimeOffset(double offset);
  int32_t GetInterpolator() const { return m_interpolator; }
  // Only step (0) and linear (1) are taken; anything else is refused with -2.
  eAppErr SetInterpolator(int32_t interpolator);

 private:
  // The last timestamp index not after tt; -1 before the first.
  int32_t LocateIndex(const FloatCollection& timestamps, double tt);

  KsRef<FloatCollection> m_timestamps;
  KsRef<FloatBindingTupleCollection> m_bindings;
  std::atomic<int32_t> m_index{0};
  double m_timeOffset = 0.0;
  int32_t m_interpolator = kStep;
};
HC_CLASS_OBJECT(FloatSequenceTween, HcTween)
