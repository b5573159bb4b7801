#include "Projection/RadialFuncProj.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "General/AngleNormalization.h"
#include "Projection/AngleUnits.h"

RadialFuncProj::RadialFuncProj() { SetEditorViewsetType("RadialFuncProj"); }
RadialFuncProj::~RadialFuncProj() = default;

bool RadialFuncProj::GetPointForAngleRad(float pan, float tilt, float* x, float* y) {
  if (!x || !y || !AllFinite(pan, tilt) || !m_radialFunc) return false;
  float radius = 0.0f;
  if (!m_radialFunc->Evaluate(m_isInverted ? -tilt : tilt, &radius)) return false;
  const float vertical = radius * m_radiusV;
  const float horizontal = vertical * m_aspect / GetImageAspect() * HorizontalSense();
  const double angle = static_cast<double>(pan - GetZeroPanOffsetRad());
  const float pointX = static_cast<float>(m_center.x + horizontal * std::sin(angle));
  const float pointY = static_cast<float>(m_center.y + vertical * std::cos(angle));
  if (!AllFinite(pointX, pointY)) return false;
  *x = pointX;
  *y = pointY;
  return radius >= 0.0f;
}

bool RadialFuncProj::GetAngleRadForPoint(float x, float y, float* pan, float* tilt) {
  if (!pan || !tilt || !AllFinite(x, y) || !m_radialFunc || !m_radialFunc->GetCanCalcInverse()) return false;
  const float dx = (x - m_center.x) * HorizontalSense();
  const float dy = y - m_center.y;
  // dx scaled to the vertical radius's measure: the ring becomes a circle.
  const float across = dx * (GetImageAspect() / m_aspect);
  const double angle = std::atan2(static_cast<double>(across), static_cast<double>(dy));
  const float radius = static_cast<float>(std::hypot(static_cast<double>(across), static_cast<double>(dy)) / m_radiusV);
  if (!std::isfinite(angle) || !std::isfinite(radius)) return false;
  *pan = NormalizeRadians(static_cast<float>(angle) + GetZeroPanOffsetRad());
  float found = 0.0f;
  if (!m_radialFunc->Inverse(radius, &found)) return false;
  *tilt = m_isInverted ? -found : found;
  return true;
}

eAppErr RadialFuncProj::GetRegionOfInterest(KsRectF* region) {
  if (!region) return KS_TRACE_ERR(AppErr::kBadArgument, "GetRegionOfInterest");
  if (!m_radialFunc) return KS_TRACE_ERR(AppErr::kNotReady, "GetRegionOfInterest");
  const float halfWidth = m_radiusV * m_aspect / GetImageAspect();
  *region = KsRectF(m_center.x - halfWidth, m_center.y - m_radiusV, 2.0f * halfWidth, 2.0f * m_radiusV);
  return AppErr::kNoErr;
}

eAppErr RadialFuncProj::GetTiling(uint32_t index, ProjectionTile* tiles, uint32_t* count) {
  if (index >= GetTilingCount() || !tiles || !count) return KS_TRACE_ERR(AppErr::kBadArgument, "GetTiling");
  KsRectF r;
  const eAppErr err = GetRegionOfInterest(&r);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "GetTiling");
  if (index == 0) return PanoProjection::GetTiling(0, tiles, count);
  const bool flip = HorizontalSense() > 0.0f;
  const float halfW = r.w / 2.0f;
  const float halfH = r.h / 2.0f;
  // Marks the edges a tile shares with its neighbours.
  auto setTile = [&](ProjectionTile& tile, const KsRectF& rect, uint32_t maskNoFlip, uint32_t maskFlip, bool top,
                     bool right, bool left, bool bottom) {
    tile.TileRect = rect;
    tile.FullRect = r;
    tile.QuadrantMask = flip ? maskFlip : maskNoFlip;
    if (top) tile.EdgeMinY = kEdgeNeighbourTile;
    if (right) tile.EdgeMaxX = kEdgeNeighbourTile;
    if (left) tile.EdgeMinX = kEdgeNeighbourTile;
    if (bottom) tile.EdgeMaxY = kEdgeNeighbourTile;
  };
  switch (index) {
    case 1:
      *count = 2;
      setTile(tiles[0], {r.x, r.y, r.w, halfH}, 6, 6, false, false, false, true);
      setTile(tiles[1], {r.x, r.y + halfH, r.w, halfH}, 9, 9, true, false, false, false);
      return AppErr::kNoErr;
    case 2:
      *count = 2;
      setTile(tiles[0], {r.x, r.y, halfW, r.h}, 3, 12, false, true, false, false);
      setTile(tiles[1], {r.x + halfW, r.y, halfW, r.h}, 12, 3, false, false, true, false);
      return AppErr::kNoErr;
    case 3:
      *count = 4;
      setTile(tiles[0], {r.x, r.y, halfW, halfH}, 2, 4, false, true, false, true);
      setTile(tiles[1], {r.x + halfW, r.y, halfW, halfH}, 4, 2, false, false, true, true);
      setTile(tiles[2], {r.x + halfW, r.y + halfH, halfW, halfH}, 8, 1, true, false, true, false);
      setTile(tiles[3], {r.x, r.y + halfH, halfW, halfH}, 1, 8, true, true, false, false);
      return AppErr::kNoErr;
    default:
      return KS_TRACE_ERR(AppErr::kBadArgument, "GetTiling");
  }
}

bool RadialFuncProj::Compare(const KsRef<PanoProjection>& other) {
  auto radial = other.DynamicCast<RadialFuncProj>();
  if (!radial) return false;
  if (m_center.x != radial->m_center.x || m_center.y != radial->m_center.y || m_radiusV != radial->m_radiusV ||
      m_aspect != radial->m_aspect || m_isInverted != radial->m_isInverted || m_isMirror != radial->m_isMirror) {
    return false;
  }
  if (m_radialFunc ? !m_radialFunc->Compare(radial->m_radialFunc) : static_cast<bool>(radial->m_radialFunc)) {
    return false;
  }
  return PanoProjection::Compare(other);
}

UpdateSeed RadialFuncProj::GetUpdateSeed() {
  if (m_radialFunc && m_radialFunc->GetUpdateSeed() != m_functionSeedSeen) {
    m_functionSeedSeen = m_radialFunc->GetUpdateSeed();
    BumpBaseSeed();
  }
  return StoredSeed();
}

float RadialFuncProj::RadiusAtDeg(float degrees, bool invertable) {
  float radians = degrees * kDegreesToRadians;
  if (invertable && m_isInverted) radians = -radians;
  float radius = 0.0f;
  if (!m_radialFunc->Evaluate(radians, &radius)) return 0.0f;
  return radius;
}

float RadialFuncProj::GetInnerTiltDeg() {
  const float min = GetTiltMinDeg();
  const float max = GetTiltMaxDeg();
  if (!m_radialFunc) return min;
  return RadiusAtDeg(min, true) < RadiusAtDeg(max, true) ? min : max;
}

float RadialFuncProj::GetOuterTiltDeg() {
  const float min = GetTiltMinDeg();
  const float max = GetTiltMaxDeg();
  if (!m_radialFunc) return max;
  return RadiusAtDeg(min, true) > RadiusAtDeg(max, true) ? min : max;
}

float RadialFuncProj::GetCleanArea(KsSize<int> dimensions) {
  const float vertical = static_cast<float>(dimensions.h) * m_radiusV;
  return static_cast<float>(std::numbers::pi * (vertical * (vertical * m_aspect)));
}

KsSizeF RadialFuncProj::GetDimensionsForCleanArea(float area) {
  if (!std::isfinite(area) || area < 0.0f || !(m_aspect > 0.0f)) return {};
  const float height = static_cast<float>(2.0 * std::sqrt(area / (m_aspect * std::numbers::pi)));
  return {height * m_aspect, height};
}

KsPointF RadialFuncProj::GetAngularResolutionPPD(KsSize<int> dimensions) {
  if (!m_radialFunc) return {};
  const float height = static_cast<float>(dimensions.h);
  const float around = static_cast<float>(std::numbers::pi * (0.5f * height * m_radiusV * (1.0f + m_aspect)) / 360.0);
  float atMin = 0.0f;
  float atMax = 0.0f;
  m_radialFunc->GetNominalRange(&atMin, &atMax);
  const float span = std::fabs(atMax - atMin);
  return {around, span > 0.0f ? height / span : 0.0f};
}

KsSizeF RadialFuncProj::GetDimensionsForAngularResolutionPPD(KsPointF ppd) {
  if (!m_radialFunc) return {};
  const float min = GetTiltMinDeg();
  const float max = GetTiltMaxDeg();
  const float ra = RadiusAtDeg(min, false);
  const float rb = RadiusAtDeg(max, false);
  const float span = std::max(ra, rb) - std::min(ra, rb);
  if (!(span > 0.0f)) return {};
  const float height = std::fabs(ppd.x * (max - min) / span);
  return {height * m_aspect, height};
}

eAppErr RadialFuncProj::SetAspect(float aspect) {
  DidChangeCaller change(this, kAspectId);
  m_aspect = aspect;
  BumpBaseSeed();
  return AppErr::kNoErr;
}

eAppErr RadialFuncProj::SetCenterPoint(const KsPointF& center) {
  DidChangeCaller change(this, kCenterPointId);
  m_center = center;
  BumpExtraSeed();
  return AppErr::kNoErr;
}

eAppErr RadialFuncProj::SetCenterX(float x) { return SetCenterPoint({x, m_center.y}); }
eAppErr RadialFuncProj::SetCenterY(float y) { return SetCenterPoint({m_center.x, y}); }

eAppErr RadialFuncProj::SetIsInverted(bool inverted) {
  DidChangeCaller change(this, kIsInvertedId);
  m_isInverted = inverted;
  BumpBaseSeed();
  return AppErr::kNoErr;
}

eAppErr RadialFuncProj::SetIsInvertedUI(bool inverted) {
  DidChangeCaller tiltMin(this, kTiltMinDegId);
  DidChangeCaller tiltMax(this, kTiltMaxDegId);
  DidChangeCaller invertedUI(this, kIsInvertedUIId);
  DidChangeCaller invertedChange(this, kIsInvertedId);
  SetIsInverted(inverted);
  const float min = GetTiltMinDeg();
  const float max = GetTiltMaxDeg();
  SetTiltMinDeg(-max);
  SetTiltMaxDeg(-min);
  return AppErr::kNoErr;
}

eAppErr RadialFuncProj::SetIsMirror(bool mirror) {
  DidChangeCaller change(this, kIsMirrorId);
  m_isMirror = mirror;
  BumpBaseSeed();
  return AppErr::kNoErr;
}

eAppErr RadialFuncProj::SetRadialFunc(const KsRef<OneVarFunction>& function) {
  DidChangeCaller change(this, kRadialFuncId);
  m_radialFunc = function;
  BumpBaseSeed();
  return AppErr::kNoErr;
}

eAppErr RadialFuncProj::SetRadiusV(float radius) {
  DidChangeCaller change(this, kRadiusVId);
  m_radiusV = radius;
  BumpBaseSeed();
  return AppErr::kNoErr;
}
