#pragma once

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "Projection/UpdateSeed.h"

// A function of one variable over a nominal domain, with an evaluation and
// (where CanCalcInverse says so) an inverse. Projections are parameterised by
// such functions; they fold the function's update seed into their own.
class OneVarFunction : public KsObject {
  HC_CLASS_HEADER(OneVarFunction)
 public:
  enum : int32_t { kCanCalcInverseId = 200, kDomainMaxId = 201, kDomainMinId = 202 };
  // A value of the range that the function cannot invert.
  static constexpr eAppErr kRangeNotInvertible = -7;

  OneVarFunction();
  ~OneVarFunction() override;

  // Both answer false for a value outside what the function can map; a
  // non-finite argument always answers false.
  virtual bool Evaluate(float x, float* y) = 0;
  virtual bool Inverse(float y, float* x) = 0;
  virtual void GetNominalDomain(float* min, float* max);
  virtual eAppErr SetNominalDomain(float min, float max);
  virtual void GetNominalRange(float* yAtMin, float* yAtMax);
  // Sets the domain to the arguments that give these values; -7 when either
  // value cannot be inverted (the domain stays).
  virtual eAppErr SetNominalRange(float yMin, float yMax);
  // Equal domains (exact comparison).
  virtual bool Compare(const KsRef<OneVarFunction>& other);
  // Called after every domain change; recomputes derived coefficients.
  virtual void DomainChanged();

  bool GetCanCalcInverse() const { return m_canCalcInverse; }
  UpdateSeed GetUpdateSeed() const { return m_seed; }

  float GetDomainMax();
  float GetDomainMin();
  eAppErr SetDomainMax(float value);
  eAppErr SetDomainMin(float value);

 protected:
  void SetCanCalcInverse(bool can) { m_canCalcInverse = can; }
  void BumpFirstSeed() { ++m_seed.first; }
  void BumpSecondSeed() { ++m_seed.second; }
  // The stored domain, whatever a subclass's getter shows.
  float StoredDomainMin() const { return m_domainMin; }
  float StoredDomainMax() const { return m_domainMax; }
  void StoreDomain(float min, float max) {
    m_domainMin = min;
    m_domainMax = max;
  }

 private:
  UpdateSeed m_seed;
  bool m_canCalcInverse = false;
  float m_domainMin = 0.0f;
  float m_domainMax = 1.0f;
};
HC_CLASS_OBJECT(OneVarFunction, KsObject)
