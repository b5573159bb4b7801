#pragma once

#include "Projection/LinearFunc.h"
#include "Projection/PanoProjection.h"
#include "Projection/ProjectionAngleFunc.h"

// The projection whose columns follow pan through a horizontal LinearFunc
// and whose rows follow tilt through a vertical function:
//   x = H(pan - zero-pan offset), y = (V(tilt) + VerticalOffset) * VerticalScale.
// Pan is not wrapped: pans beyond the horizontal domain extrapolate and the
// seam is left to the texture tiles. Without a vertical function nothing maps.
class CartesianFuncProj : public PanoProjection {
  HC_CLASS_HEADER(CartesianFuncProj)
 public:
  enum : int32_t {
    kPanMaxDegId = 300,
    kPanMinDegId = 301,
    kVerticalFuncId = 302,
    kVerticalOffsetId = 303,
    kVerticalScaleId = 304,
    kHorizontalFuncId = 305,
    kHorizonId = 306,
    kLockAspectId = 307,
    kEditorTiltMinId = 308,
    kEditorTiltMaxId = 309,
  };

  CartesianFuncProj();
  ~CartesianFuncProj() override;

  uint32_t GetTilingCount() override { return 2; }
  // Also refits the vertical function to the new aspect when the lock is on.
  eAppErr SetImageAspect(float aspect) override;
  bool GetPointForAngleRad(float pan, float tilt, float* x, float* y) override;
  bool GetAngleRadForPoint(float x, float y, float* pan, float* tilt) override;
  KsSizeF GetDimensionsForCleanArea(float area) override;
  KsSizeF GetDimensionsForAngularResolutionPPD(KsPointF ppd) override;
  bool Compare(const KsRef<PanoProjection>& other) override;
  eAppErr GetTiling(uint32_t index, ProjectionTile* tiles, uint32_t* count) override;
  KsPointF GetAngularResolutionPPD(KsSize<int> dimensions) override;
  void GetPanRange(float* min, float* max) override;
  // Folds a change of the vertical function's seed into the first counter.
  UpdateSeed GetUpdateSeed() override;
  float GetCleanArea(KsSize<int> dimensions) override;

  virtual eAppErr SetPanMaxDeg(float degrees);
  virtual eAppErr SetPanMinDeg(float degrees);
  virtual eAppErr SetVerticalFunc(const KsRef<ProjectionAngleFunc>& function);
  virtual eAppErr SetVerticalOffset(float offset);
  virtual eAppErr SetVerticalScale(float scale);
  // V(0), or 0.5 without a vertical function.
  virtual float GetHorizon();
  // Refits the vertical function around the horizon; -903 (nothing changes)
  // unless LockAspect is on, -1 without both functions.
  virtual eAppErr SetHorizon(float horizon);
  // The part of the image one pan quadrant (1, 2, 4 or 8) covers: a fixed
  // quarter of its width.
  virtual eAppErr GetQuadrantRect(int32_t quadrant, KsRectF* rect);

  float GetPanMaxDeg();
  float GetPanMinDeg();
  float GetVerticalOffset() const { return m_verticalOffset; }
  float GetVerticalScale() const { return m_verticalScale; }
  bool GetLockAspect() const { return m_lockAspect; }
  eAppErr SetLockAspect(bool lock);
  KsRef<ProjectionAngleFunc> GetVerticalFunc() const { return m_verticalFunc; }
  KsRef<LinearFunc> GetHorizontalFunc() const { return m_horizontalFunc; }
  float GetEditorTiltMin() { return GetTiltMinDeg(); }
  float GetEditorTiltMax() { return GetTiltMaxDeg(); }
  eAppErr SetEditorTiltMin(float degrees);
  eAppErr SetEditorTiltMax(float degrees);
  // The vertical span (in the vertical function's measure) that matches the
  // horizontal angular scale at the current image aspect; 1.0 without both
  // functions.
  float GetVerticalImageRange();

 protected:
  // Stores a vertical function without announcing it or moving the seed.
  void StoreVerticalFunc(const KsRef<ProjectionAngleFunc>& function) { m_verticalFunc = function; }

 private:
  template <class Move>
  eAppErr RefitLocked(Move move);

  float m_verticalOffset = 0.0f;
  float m_verticalScale = 1.0f;
  float m_horizon = 0.5f;
  bool m_lockAspect = false;
  UpdateSeed m_verticalSeedSeen{0, 0};
  KsRef<ProjectionAngleFunc> m_verticalFunc;
  KsRef<LinearFunc> m_horizontalFunc;
};
HC_CLASS_OBJECT(CartesianFuncProj, PanoProjection)
