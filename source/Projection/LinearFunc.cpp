#include "Projection/LinearFunc.h"

#include <cmath>
#include <numbers>

#include "Projection/AngleUnits.h"

LinearFunc::LinearFunc() { SetCanCalcInverse(true); }
LinearFunc::~LinearFunc() = default;

bool LinearFunc::Evaluate(float x, float* y) {
  if (!y || !std::isfinite(x) || !AllFinite(m_slope, m_intercept)) return false;
  const float value = std::fmaf(m_slope, x, m_intercept);
  if (!std::isfinite(value)) return false;
  *y = value;
  return true;
}

bool LinearFunc::Inverse(float y, float* x) {
  if (!x || !std::isfinite(y) || !AllFinite(m_inverseSlope, m_intercept)) return false;
  const float value = (y - m_intercept) * m_inverseSlope;
  if (!std::isfinite(value)) return false;
  *x = value;
  return true;
}

bool LinearFunc::Compare(const KsRef<OneVarFunction>& other) {
  auto linear = other.DynamicCast<LinearFunc>();
  if (!linear) return false;
  return m_minValue == linear->m_minValue && m_maxValue == linear->m_maxValue && OneVarFunction::Compare(other);
}

void LinearFunc::DomainChanged() {
  OneVarFunction::DomainChanged();
  Recompute();
}

void LinearFunc::Recompute() {
  const float domainSpan = StoredDomainMax() - StoredDomainMin();
  const float valueSpan = m_maxValue - m_minValue;
  m_slope = valueSpan / domainSpan;
  m_inverseSlope = domainSpan / valueSpan;
  m_intercept = m_minValue - m_slope * StoredDomainMin();
}

eAppErr LinearFunc::SetMaxValue(float value) {
  DidChangeCaller change(this, kMaxValueId);
  m_maxValue = value;
  DomainChanged();
  return AppErr::kNoErr;
}

eAppErr LinearFunc::SetMinValue(float value) {
  DidChangeCaller change(this, kMinValueId);
  m_minValue = value;
  DomainChanged();
  return AppErr::kNoErr;
}

namespace {
bool IsTiltLimit(float degrees) { return degrees >= -90.0f && degrees <= 90.0f; }
}  // namespace

eAppErr LinearFunc::MoveTiltMinDeg(float degrees, float imageRange) {
  if (!IsTiltLimit(degrees)) return KS_TRACE_ERR(AppErr::kBadArgument, "MoveTiltMinDeg");
  SetAngleMinDeg(degrees);
  return SetDomainMax(GetDomainMin() + imageRange);
}

eAppErr LinearFunc::MoveTiltMaxDeg(float degrees, float imageRange) {
  if (!IsTiltLimit(degrees)) return KS_TRACE_ERR(AppErr::kBadArgument, "MoveTiltMaxDeg");
  SetAngleMaxDeg(degrees);
  return SetDomainMin(GetDomainMax() - imageRange);
}

eAppErr LinearFunc::MoveHorizon(float horizon, float imageRange) {
  constexpr double kHalfPiD = std::numbers::pi / 2;
  float lo = -imageRange * horizon;
  float hi = imageRange * (1.0f - horizon);
  if (static_cast<double>(hi - lo) > std::numbers::pi) {
    lo = -kHalfPi;
    hi = kHalfPi;
  } else {
    if (lo < -kHalfPiD) {
      hi = static_cast<float>(hi + (-kHalfPiD - lo));
      lo = -kHalfPi;
    }
    if (hi > kHalfPiD) {
      lo = static_cast<float>(lo - (hi - kHalfPiD));
      hi = kHalfPi;
    }
  }
  {
    DidChangeCaller change(this, kAngleMinDegId);
    SetDomainMin(lo);
  }
  DidChangeCaller change(this, kAngleMaxDegId);
  return SetDomainMax(hi);
}
