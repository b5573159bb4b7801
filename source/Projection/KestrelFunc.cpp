#include "Projection/KestrelFunc.h"

#include <algorithm>
#include <cmath>

#include "General/FloatCollection.h"
#include "Projection/AngleUnits.h"

namespace {
constexpr float kPi = 3.1415927f;
// Tilt at the ring's centre: -80 degrees whatever the apex distance.
constexpr float kAngleCenter = -1.3962634f;
// Coefficient j of the curve is T[j][0] + T[j][1] theta + T[j][2] theta^2.
constexpr float kCoefficientTable[3][3] = {
    {0.616057f, -0.523966f, 3.65368f},
    {0.522739f, -2.11769f, 10.7556f},
    {0.0655371f, -1.39624f, 6.48261f},
};
}  // namespace

KestrelFunc::KestrelFunc() { SetCanCalcInverse(true); }
KestrelFunc::~KestrelFunc() = default;

void KestrelFunc::Rebuild() {
  if (m_polynomial && GetUpdateSeed() == m_builtSeed) return;
  const float theta = static_cast<float>(std::atan2(1.0, static_cast<double>(m_apexDistance * 0.1f)));
  m_angleCenter = kAngleCenter;
  auto terms = KsMakeRef<FloatCollection>();
  for (const auto& row : kCoefficientTable) {
    float power = 1.0f;
    float term = 0.0f;
    for (float coefficient : row) {
      term += coefficient * power;
      power *= theta;
    }
    terms->Add(term);
  }
  const bool firstBuild = !m_polynomial;
  m_polynomial = KsMakeRef<PolynomialFunc>();
  m_polynomial->SetPolyTerms(terms);
  m_polynomial->SetNominalDomain(-kPi, kPi);
  float edge = 0.0f;
  if (m_polynomial->Inverse(1.0f, &edge)) {
    m_angleEdge = edge;
  } else if (firstBuild) {
    m_angleEdge = m_angleCenter;
  }
  m_polynomial->SetNominalDomain(std::min(m_angleCenter, m_angleEdge), std::max(m_angleCenter, m_angleEdge));
  m_builtSeed = GetUpdateSeed();
}

bool KestrelFunc::Evaluate(float x, float* y) {
  Rebuild();
  return m_polynomial->Evaluate(x, y);
}

bool KestrelFunc::Inverse(float y, float* x) {
  Rebuild();
  return m_polynomial->Inverse(y, x);
}

void KestrelFunc::GetNominalDomain(float* min, float* max) {
  Rebuild();
  if (min) *min = std::min(m_angleCenter, m_angleEdge);
  if (max) *max = std::max(m_angleCenter, m_angleEdge);
}

void KestrelFunc::GetNominalRange(float* yAtMin, float* yAtMax) {
  Rebuild();
  if (yAtMin) *yAtMin = 0.0f;
  if (yAtMax) *yAtMax = 1.0f;
}

bool KestrelFunc::Compare(const KsRef<OneVarFunction>& other) {
  auto kestrel = other.DynamicCast<KestrelFunc>();
  return kestrel && m_apexDistance == kestrel->m_apexDistance && OneVarFunction::Compare(other);
}

float KestrelFunc::GetAngleCenterDeg() {
  Rebuild();
  return m_angleCenter * kRadiansToDegrees;
}

float KestrelFunc::GetAngleEdgeDeg() {
  Rebuild();
  return m_angleEdge * kRadiansToDegrees;
}

eAppErr KestrelFunc::SetApexDistance(float distance) {
  DidChangeCaller change(this, kApexDistanceId);
  if (!(distance >= kMinApexDistance) || !std::isfinite(distance)) {
    return KS_TRACE_ERR(AppErr::kBadArgument, "SetApexDistance");
  }
  m_apexDistance = distance;
  BumpSecondSeed();
  return AppErr::kNoErr;
}
