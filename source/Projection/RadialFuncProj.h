#pragma once

#include <cstdint>

#include "Projection/OneVarFunction.h"
#include "Projection/PanoProjection.h"

// The ring image of a panoramic optic: pan is the angle around CenterPoint
// and tilt decides the distance from it through the radial function (radius
// 1.0 is RadiusV of the image height vertically, Aspect times that
// horizontally). Pan 0 lies towards larger y; pan grows towards larger x when
// IsMirror differs from IsInverted, towards smaller x otherwise. IsInverted
// also turns the sign of every tilt. Without a radial function nothing maps.
class RadialFuncProj : public PanoProjection {
  HC_CLASS_HEADER(RadialFuncProj)
 public:
  enum : int32_t {
    kAspectId = 300,
    kCenterPointId = 301,
    kInnerTiltDegId = 302,
    kOuterTiltDegId = 303,
    kCenterXId = 304,
    kCenterYId = 305,
    kIsInvertedId = 306,
    kIsInvertedUIId = 307,
    kIsMirrorId = 308,
    kRadialFuncId = 309,
    kRadiusVId = 310,
  };

  RadialFuncProj();
  ~RadialFuncProj() override;

  uint32_t GetTilingCount() override { return 4; }
  // False for a negative radius (the point is still written).
  bool GetPointForAngleRad(float pan, float tilt, float* x, float* y) override;
  // The pan comes back in [0, 2 pi).
  bool GetAngleRadForPoint(float x, float y, float* pan, float* tilt) override;
  KsSizeF GetDimensionsForCleanArea(float area) override;
  KsSizeF GetDimensionsForAngularResolutionPPD(KsPointF ppd) override;
  bool Compare(const KsRef<PanoProjection>& other) override;
  // 1: upper and lower halves; 2: left and right halves; 3: four quarters.
  eAppErr GetTiling(uint32_t index, ProjectionTile* tiles, uint32_t* count) override;
  KsPointF GetAngularResolutionPPD(KsSize<int> dimensions) override;
  // Folds a change of the radial function's seed into the first counter.
  UpdateSeed GetUpdateSeed() override;
  // The ring's bounding box; -903 without a radial function.
  eAppErr GetRegionOfInterest(KsRectF* region) override;
  float GetCleanArea(KsSize<int> dimensions) override;

  float GetAspect() const { return m_aspect; }
  eAppErr SetAspect(float aspect);
  KsPointF GetCenterPoint() const { return m_center; }
  eAppErr SetCenterPoint(const KsPointF& center);
  float GetCenterX() const { return m_center.x; }
  float GetCenterY() const { return m_center.y; }
  eAppErr SetCenterX(float x);
  eAppErr SetCenterY(float y);
  // The tilt limit nearer the ring's centre, and the one nearer its edge.
  float GetInnerTiltDeg();
  float GetOuterTiltDeg();
  bool GetIsInverted() const { return m_isInverted; }
  eAppErr SetIsInverted(bool inverted);
  bool GetIsInvertedUI() const { return m_isInverted; }
  // Sets IsInverted and turns the tilt range over (min becomes -max).
  eAppErr SetIsInvertedUI(bool inverted);
  bool GetIsMirror() const { return m_isMirror; }
  eAppErr SetIsMirror(bool mirror);
  KsRef<OneVarFunction> GetRadialFunc() const { return m_radialFunc; }
  eAppErr SetRadialFunc(const KsRef<OneVarFunction>& function);
  float GetRadiusV() const { return m_radiusV; }
  eAppErr SetRadiusV(float radius);

 protected:
  // Stores a radial function without announcing it or moving the seed.
  void StoreRadialFunc(const KsRef<OneVarFunction>& function) { m_radialFunc = function; }

 private:
  // +1 when pan grows towards larger x, -1 otherwise.
  float HorizontalSense() const { return m_isMirror != m_isInverted ? 1.0f : -1.0f; }
  // The radius at a tilt limit (0 when it can't be evaluated).
  float RadiusAtDeg(float degrees, bool invertable);

  UpdateSeed m_functionSeedSeen{0, 0};
  KsRef<OneVarFunction> m_radialFunc;
  KsPointF m_center{0.5f, 0.5f};
  float m_radiusV = 0.5f;
  float m_aspect = 1.0f;
  bool m_isInverted = false;
  bool m_isMirror = true;
};
HC_CLASS_OBJECT(RadialFuncProj, PanoProjection)
