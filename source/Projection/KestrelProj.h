#pragma once

#include "Projection/KestrelFunc.h"
#include "Projection/RadialFuncProj.h"

// The ready-made projection of the maker's optic: a radial-function
// projection whose radial function is a KestrelFunc. Its optic properties
// reach that function; after the function was replaced by another kind they
// read 0 and refuse writes with -903.
class KestrelProj : public RadialFuncProj {
  HC_CLASS_HEADER(KestrelProj)
 public:
  enum : int32_t { kApexDistanceId = 400, kAngleCenterDegId = 401, kAngleEdgeDegId = 402 };

  KestrelProj();
  ~KestrelProj() override;

  bool Compare(const KsRef<PanoProjection>& other) override;

  float GetApexDistance() const;
  eAppErr SetApexDistance(float distance);
  float GetAngleCenterDeg() const;
  float GetAngleEdgeDeg() const;

 private:
  KsRef<KestrelFunc> GetKestrelFunc() const { return GetRadialFunc().DynamicCast<KestrelFunc>(); }
};
HC_CLASS_OBJECT(KestrelProj, RadialFuncProj)
