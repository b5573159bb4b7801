#pragma once

#include "Projection/OneVarFunction.h"
#include "Projection/PolynomialFunc.h"

// The radius-versus-tilt curve of the maker's panoramic optic: a quadratic
// in the tilt whose coefficients are quadratics in the angle under which the
// optic's apex is seen, which follows from ApexDistance. The curve is rebuilt
// on first use after every change of ApexDistance; its domain runs from the
// tilt at the ring's centre to the tilt at its edge (radius 1).
class KestrelFunc : public OneVarFunction {
  HC_CLASS_HEADER(KestrelFunc)
 public:
  enum : int32_t { kApexDistanceId = 300, kAngleCenterDegId = 301, kAngleEdgeDegId = 302 };
  static constexpr float kMinApexDistance = 10.0f;

  KestrelFunc();
  ~KestrelFunc() override;

  bool Evaluate(float x, float* y) override;
  bool Inverse(float y, float* x) override;
  void GetNominalDomain(float* min, float* max) override;
  // 0 to 1.
  void GetNominalRange(float* yAtMin, float* yAtMax) override;
  // Another KestrelFunc with the same ApexDistance (and so the same domain).
  bool Compare(const KsRef<OneVarFunction>& other) override;
  virtual float GetAngleCenterDeg();
  virtual float GetAngleEdgeDeg();

  float GetApexDistance() const { return m_apexDistance; }
  // -2 below 10 (nothing changes).
  eAppErr SetApexDistance(float distance);

 private:
  void Rebuild();

  float m_angleCenter = 0.0f;  // radians
  float m_angleEdge = 0.0f;    // radians
  KsRef<PolynomialFunc> m_polynomial;
  UpdateSeed m_builtSeed{0, 0};
  float m_apexDistance = 170.0f;
};
HC_CLASS_OBJECT(KestrelFunc, OneVarFunction)
