#include "Projection/OneVarFunction.h"

OneVarFunction::OneVarFunction() = default;
OneVarFunction::~OneVarFunction() = default;

void OneVarFunction::GetNominalDomain(float* min, float* max) {
  if (min) *min = m_domainMin;
  if (max) *max = m_domainMax;
}

eAppErr OneVarFunction::SetNominalDomain(float min, float max) {
  m_domainMin = min;
  m_domainMax = max;
  DomainChanged();
  return AppErr::kNoErr;
}

void OneVarFunction::GetNominalRange(float* yAtMin, float* yAtMax) {
  float min = 0.0f;
  float max = 0.0f;
  GetNominalDomain(&min, &max);
  if (yAtMin) Evaluate(min, yAtMin);
  if (yAtMax) Evaluate(max, yAtMax);
}

eAppErr OneVarFunction::SetNominalRange(float yMin, float yMax) {
  float min = 0.0f;
  float max = 0.0f;
  if (!Inverse(yMin, &min) || !Inverse(yMax, &max)) return KS_TRACE_ERR(kRangeNotInvertible, "SetNominalRange");
  return SetNominalDomain(min, max);
}

bool OneVarFunction::Compare(const KsRef<OneVarFunction>& other) {
  if (!other) return false;
  float min = 0.0f;
  float max = 0.0f;
  float otherMin = 0.0f;
  float otherMax = 0.0f;
  GetNominalDomain(&min, &max);
  other->GetNominalDomain(&otherMin, &otherMax);
  return min == otherMin && max == otherMax;
}

void OneVarFunction::DomainChanged() { BumpSecondSeed(); }

float OneVarFunction::GetDomainMax() {
  float max = 0.0f;
  GetNominalDomain(nullptr, &max);
  return max;
}

float OneVarFunction::GetDomainMin() {
  float min = 0.0f;
  GetNominalDomain(&min, nullptr);
  return min;
}

eAppErr OneVarFunction::SetDomainMax(float value) {
  DidChangeCaller change(this, kDomainMaxId);
  return SetNominalDomain(GetDomainMin(), value);
}

eAppErr OneVarFunction::SetDomainMin(float value) {
  DidChangeCaller change(this, kDomainMinId);
  return SetNominalDomain(value, GetDomainMax());
}
