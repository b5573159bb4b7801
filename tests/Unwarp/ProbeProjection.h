#pragma once

#include "General/KsClassMacros.h"
#include "Projection/PanoProjection.h"

// A projection for the unwarp's tests, not of the cartesian kind (the task
// takes its general path): maps through an inner projection, refuses the
// output points of one band of rows and one single point, and answers a set
// size for any clean area. Its settings are serialised, so the copy the
// output is given maps the same way.
class ProbeProjection : public PanoProjection {
  HC_CLASS_HEADER(ProbeProjection)
 public:
  ProbeProjection();
  ~ProbeProjection() override;

  bool GetPointForAngleRad(float pan, float tilt, float* x, float* y) override;
  bool GetAngleRadForPoint(float x, float y, float* pan, float* tilt) override;
  KsSizeF GetDimensionsForCleanArea(float area) override { return m_size; }
  KsSizeF GetDimensionsForAngularResolutionPPD(KsPointF) override { return m_size; }
  KsPointF GetAngularResolutionPPD(KsSize<int>) override { return {}; }
  float GetCleanArea(KsSize<int> dimensions) override {
    return static_cast<float>(dimensions.w) * static_cast<float>(dimensions.h);
  }

  KsRef<PanoProjection> GetInner() const { return m_inner; }
  eAppErr SetInner(const KsRef<PanoProjection>& inner);
  KsSizeF GetSize() const { return m_size; }
  eAppErr SetSize(const KsSizeF& size);
  // Output points with y in [min, max) are refused.
  KsPointF GetRefusedRows() const { return m_refusedRows; }
  eAppErr SetRefusedRows(const KsPointF& rows);
  KsPointF GetRefusedPoint() const { return m_refusedPoint; }
  eAppErr SetRefusedPoint(const KsPointF& point);

 private:
  KsRef<PanoProjection> m_inner;
  KsSizeF m_size;
  KsPointF m_refusedRows{-1.0f, -1.0f};
  KsPointF m_refusedPoint{-1.0f, -1.0f};
};
HC_CLASS_OBJECT(ProbeProjection, PanoProjection)
