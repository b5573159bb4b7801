#include "Time/HcTimeScale.h"

#include <cmath>
#include <limits>

#include "KsTrace.h"

namespace {

// 128-bit products keep 64-bit counts times 32-bit scales exact.
__extension__ typedef __int128 WideInt;

struct StandardScale {
  int32_t timeScale;
  int64_t granularity;
};

constexpr StandardScale kStandardScales[HcTimeScale::kStandardKindCount] = {
    {1, 1}, {23976, 1000}, {2400, 100}, {2500, 100}, {2997, 100}, {3000, 100}, {5994, 100}, {6000, 100},
};

int64_t Saturate(WideInt value) {
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  if (value > kMax) return kMax;
  if (value < kMin) return kMin;
  return static_cast<int64_t>(value);
}

}  // namespace

int64_t RoundToTimeCount(double value) {
  if (std::isnan(value)) return 0;
  // 2^63 is the first double past the range.
  constexpr double kLimit = 9223372036854775808.0;
  if (value >= kLimit) return std::numeric_limits<int64_t>::max();
  if (value <= -kLimit) return std::numeric_limits<int64_t>::min();
  return std::llround(value);
}

HcTimeScale::HcTimeScale() = default;
HcTimeScale::~HcTimeScale() = default;

KsRef<HcTimeScale> HcTimeScale::MakeStandardTimeScale(int32_t kind) {
  if (kind < 0 || kind >= kStandardKindCount) return {};
  auto scale = KsMakeRef<HcTimeScale>();
  scale->SetTimeScale(kStandardScales[kind].timeScale);
  scale->SetGranularity(kStandardScales[kind].granularity);
  return scale;
}

int32_t HcTimeScale::StandardTimeScaleEnum() const {
  for (int32_t kind = 1; kind < kStandardKindCount; ++kind) {
    const StandardScale& s = kStandardScales[kind];
    if (static_cast<WideInt>(m_granularity) * s.timeScale == static_cast<WideInt>(m_timeScale) * s.granularity) {
      return kind;
    }
  }
  return -1;
}

double HcTimeScale::TimeValueToSeconds(int64_t value) const { return static_cast<double>(value) * m_reciprocal; }

int64_t HcTimeScale::SecondsToTimeValue(double seconds) const {
  return Quantize(RoundToTimeCount(seconds * m_scale), false);
}

int64_t HcTimeScale::ConvertValueInSeconds(double seconds, bool requantize, bool forceRoundDown) const {
  const int64_t value = RoundToTimeCount(seconds * m_scale);
  return requantize ? Quantize(value, forceRoundDown) : value;
}

eAppErr HcTimeScale::ConvertValue(int64_t value, const KsRef<HcTimeScale>& from, bool requantize,
                                  bool forceRoundDown, int64_t* result) const {
  if (!result) return KS_TRACE_ERR(AppErr::kBadArgument, "ConvertValue");
  if (!from) {
    KS_TRACE(KsTrace::kError, "Passed not set timeScale!");
    return KS_TRACE_ERR(AppErr::kBadArgument, "ConvertValue");
  }
  if (from->m_timeScale != m_timeScale) {
    value = Saturate(static_cast<WideInt>(value) * m_timeScale / from->m_timeScale);
  }
  *result = requantize ? Quantize(value, forceRoundDown) : value;
  return AppErr::kNoErr;
}

int64_t HcTimeScale::ScaleValue(int64_t value, double rate, bool quantize, double* trueRate) const {
  int64_t scaled = RoundToTimeCount(static_cast<double>(value) * rate);
  if (quantize) scaled = Quantize(scaled, false);
  if (trueRate) *trueRate = value != 0 ? static_cast<double>(scaled) / static_cast<double>(value) : rate;
  return scaled;
}

bool HcTimeScale::IsEqual(const KsRef<HcTimeScale>& other) const {
  if (!other) return false;
  return static_cast<WideInt>(m_granularity) * other->m_timeScale ==
         static_cast<WideInt>(m_timeScale) * other->m_granularity;
}

int64_t HcTimeScale::Quantize(int64_t value, bool forceRoundDown) const {
  const int64_t g = m_granularity;
  if (g <= 0) return value;
  const int64_t r = value % g;
  if (2 * static_cast<WideInt>(r) < g || forceRoundDown) return value - r;
  return Saturate(static_cast<WideInt>(value) + (g - r));
}

eAppErr HcTimeScale::SetTimeScale(int32_t timeScale) {
  DidChangeCaller change(this, kTimeScaleId);
  if (timeScale <= 0) return KS_TRACE_ERR(AppErr::kBadArgument, "SetTimeScale");
  m_timeScale = timeScale;
  Recompute();
  return AppErr::kNoErr;
}

eAppErr HcTimeScale::SetGranularity(int64_t granularity) {
  DidChangeCaller change(this, kGranularityId);
  if (granularity < 0) return KS_TRACE_ERR(AppErr::kBadArgument, "SetGranularity");
  m_granularity = granularity;
  Recompute();
  return AppErr::kNoErr;
}

void HcTimeScale::Recompute() {
  m_scale = static_cast<double>(m_timeScale);
  m_reciprocal = 1.0 / m_scale;
}
