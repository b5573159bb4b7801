#include "Projection/CylindricalFunc.h"

#include <cmath>

#include "Projection/AngleUnits.h"

namespace {
constexpr float kDefaultHalfSpan = 0.87266463f;  // 50 degrees
}  // namespace

CylindricalFunc::CylindricalFunc() {
  SetCanCalcInverse(true);
  StoreDomain(-kDefaultHalfSpan, kDefaultHalfSpan);
  Recompute();
}

CylindricalFunc::~CylindricalFunc() = default;

void CylindricalFunc::Recompute() {
  const double tanMax = std::tan(StoredDomainMax());
  const double tanMin = std::tan(StoredDomainMin());
  m_scale = static_cast<float>(1.0 / (tanMax - tanMin));
  m_offset = static_cast<float>(tanMax * m_scale);
}

bool CylindricalFunc::IsDegenerate() const { return !AllFinite(m_scale, m_offset) || m_scale == 0.0f; }

void CylindricalFunc::DomainChanged() {
  OneVarFunction::DomainChanged();
  Recompute();
}

bool CylindricalFunc::Evaluate(float x, float* y) {
  if (!y || !std::isfinite(x) || IsDegenerate()) return false;
  *y = m_offset - m_scale * std::tan(x);
  return InDomain(x) && std::isfinite(*y);
}

bool CylindricalFunc::Inverse(float y, float* x) {
  if (!x || !std::isfinite(y) || IsDegenerate()) return false;
  *x = std::atan2(m_offset - y, m_scale);
  return InDomain(*x);
}

bool CylindricalFunc::Compare(const KsRef<OneVarFunction>& other) {
  return other.DynamicCast<CylindricalFunc>() && OneVarFunction::Compare(other);
}

float CylindricalFunc::GetRelativeImageRange() { return std::tan(GetDomainMax()) - std::tan(GetDomainMin()); }

eAppErr CylindricalFunc::MoveTiltMinDeg(float degrees, float imageRange) {
  SetAngleMinDeg(degrees);
  return SetDomainMax(std::atan(std::tan(GetDomainMin()) + imageRange));
}

eAppErr CylindricalFunc::MoveTiltMaxDeg(float degrees, float imageRange) {
  SetAngleMaxDeg(degrees);
  return SetDomainMin(std::atan(std::tan(GetDomainMax()) - imageRange));
}

eAppErr CylindricalFunc::MoveHorizon(float horizon, float imageRange) {
  SetDomainMin(std::atan(-imageRange * horizon));
  return SetDomainMax(std::atan(imageRange * (1.0f - horizon)));
}
