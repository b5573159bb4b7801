#pragma once

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"

// A discrete time axis: TimeScale units per second, snapped where a
// conversion asks for it to multiples of Granularity units. Clock times are
// double seconds; stored times (look markers, value ranges) are 64-bit
// counts of a time scale.
class HcTimeScale : public KsObject {
  HC_CLASS_HEADER(HcTimeScale)
 public:
  enum : int32_t { kTimeScaleId = 200, kGranularityId = 201 };
  // The standard scales, one per common video frame rate (kind 0 is whole seconds).
  static constexpr int32_t kStandardKindCount = 8;

  HcTimeScale();
  ~HcTimeScale() override;

  // A new time scale of the standard kind; empty for a kind outside 0 to 7.
  static KsRef<HcTimeScale> MakeStandardTimeScale(int32_t kind);
  // The first kind from 1 to 7 this scale is equal to (same granule); -1 for none.
  int32_t StandardTimeScaleEnum() const;

  double TimeValueToSeconds(int64_t value) const;
  // Rounded to the nearest unit, then snapped to the granularity.
  int64_t SecondsToTimeValue(double seconds) const;
  int64_t ConvertValueInSeconds(double seconds, bool requantize, bool forceRoundDown) const;
  // A count of `from` expressed in this scale: -2 (nothing written) without
  // a scale to convert from.
  eAppErr ConvertValue(int64_t value, const KsRef<HcTimeScale>& from, bool requantize, bool forceRoundDown,
                       int64_t* result) const;
  // value x rate, rounded; `trueRate` (may be null) receives the rate applied.
  int64_t ScaleValue(int64_t value, double rate, bool quantize, double* trueRate) const;
  // Whether both scales have the same granule in seconds, whatever their units.
  bool IsEqual(const KsRef<HcTimeScale>& other) const;
  // Snaps a count to the granularity: a remainder below half a granule goes
  // down, half or more up; forceRoundDown always goes down.
  int64_t Quantize(int64_t value, bool forceRoundDown) const;

  int32_t GetTimeScale() const { return m_timeScale; }
  // Units per second must be positive: anything else is refused with -2.
  eAppErr SetTimeScale(int32_t timeScale);
  int64_t GetGranularity() const { return m_granularity; }
  // A negative granularity is refused with -2; 0 snaps nothing.
  eAppErr SetGranularity(int64_t granularity);

  KsRef<HcTimeScale> ThisRef() { return KsRef<HcTimeScale>(this); }

 private:
  void Recompute();

  int32_t m_timeScale = 1000;
  int64_t m_granularity = 1;
  double m_scale = 1000.0;
  double m_reciprocal = 0.001;
};
HC_CLASS_OBJECT(HcTimeScale, KsObject)

// Rounds to the nearest integer count, saturating at the ends of the 64-bit
// range; NaN gives 0.
int64_t RoundToTimeCount(double value);
