#include "Projection/CartesianFuncProj.h"

#include <cmath>

#include "Projection/AngleUnits.h"

CartesianFuncProj::CartesianFuncProj() : m_horizontalFunc(KsMakeRef<LinearFunc>()) {
  SetPanMinDeg(0.0f);
  SetPanMaxDeg(360.0f);
  SetEditorViewsetType("CartesianFuncProj");
}

CartesianFuncProj::~CartesianFuncProj() = default;

eAppErr CartesianFuncProj::SetImageAspect(float aspect) {
  const eAppErr err = PanoProjection::SetImageAspect(aspect);
  // Without the lock the refit is refused and nothing would change.
  if (m_lockAspect) SetHorizon(m_horizon);
  return err;
}

bool CartesianFuncProj::GetPointForAngleRad(float pan, float tilt, float* x, float* y) {
  if (!x || !y || !AllFinite(pan, tilt) || !m_horizontalFunc || !m_verticalFunc) return false;
  const bool panInImage = m_horizontalFunc->Evaluate(pan - GetZeroPanOffsetRad(), x);
  float v = 0.0f;
  const bool tiltInImage = m_verticalFunc->Evaluate(tilt, &v);
  *y = (v + m_verticalOffset) * m_verticalScale;
  return panInImage && tiltInImage;
}

bool CartesianFuncProj::GetAngleRadForPoint(float x, float y, float* pan, float* tilt) {
  if (!pan || !tilt || !AllFinite(x, y) || !m_horizontalFunc || !m_verticalFunc) return false;
  if (!m_verticalFunc->GetCanCalcInverse()) return false;
  const bool tiltFound = m_verticalFunc->Inverse(y / m_verticalScale - m_verticalOffset, tilt);
  const bool panFound = m_horizontalFunc->Inverse(x, pan);
  if (panFound) *pan += GetZeroPanOffsetRad();
  return tiltFound && panFound;
}

namespace {
// The extent of the image (normalised) that the function's domain covers.
float ImageSpan(OneVarFunction& function) {
  float atMin = 0.0f;
  float atMax = 0.0f;
  function.GetNominalRange(&atMin, &atMax);
  return std::fabs(atMax - atMin);
}
}  // namespace

KsSizeF CartesianFuncProj::GetDimensionsForCleanArea(float area) {
  const float ratio = m_verticalFunc && m_horizontalFunc
                          ? m_verticalFunc->GetRelativeImageRange() / m_horizontalFunc->GetRelativeImageRange()
                          : 0.0f;
  if (!(std::fabs(ratio) >= 1e-5f)) {
    KS_TRACE(KsTrace::kError, "GetDimensionsForCleanArea called with no tilt range!");
    return {};
  }
  const float width = std::sqrt(area / ratio);
  return {width, ratio * width};
}

KsSizeF CartesianFuncProj::GetDimensionsForAngularResolutionPPD(KsPointF ppd) {
  if (!m_verticalFunc || !m_horizontalFunc) return {};
  return {ImageSpan(*m_horizontalFunc) * ppd.x, ImageSpan(*m_verticalFunc) * ppd.y};
}

KsPointF CartesianFuncProj::GetAngularResolutionPPD(KsSize<int> dimensions) {
  if (!m_verticalFunc || !m_horizontalFunc) return {};
  auto perSpan = [](int pixels, float span) {
    return span == 0.0f ? 0.0f : static_cast<float>(static_cast<double>(pixels) / span);
  };
  return {perSpan(dimensions.w, ImageSpan(*m_horizontalFunc)), perSpan(dimensions.h, ImageSpan(*m_verticalFunc))};
}

float CartesianFuncProj::GetCleanArea(KsSize<int> dimensions) {
  return static_cast<float>(dimensions.w) * static_cast<float>(dimensions.h);
}

bool CartesianFuncProj::Compare(const KsRef<PanoProjection>& other) {
  auto cartesian = other.DynamicCast<CartesianFuncProj>();
  if (!cartesian) return false;
  if (m_verticalOffset != cartesian->m_verticalOffset || m_verticalScale != cartesian->m_verticalScale ||
      m_horizon != cartesian->m_horizon) {
    return false;
  }
  if (!m_horizontalFunc || !m_horizontalFunc->Compare(cartesian->m_horizontalFunc)) return false;
  if (m_verticalFunc ? !m_verticalFunc->Compare(cartesian->m_verticalFunc) : static_cast<bool>(cartesian->m_verticalFunc)) {
    return false;
  }
  return PanoProjection::Compare(other);
}

eAppErr CartesianFuncProj::GetTiling(uint32_t index, ProjectionTile* tiles, uint32_t* count) {
  if (index >= GetTilingCount() || !tiles || !count) return KS_TRACE_ERR(AppErr::kBadArgument, "GetTiling");
  const KsRectF whole(0.0f, 0.0f, 1.0f, 1.0f);
  auto setTile = [&](ProjectionTile& tile, uint32_t mask, uint32_t right, uint32_t left, const KsRectF& rect) {
    tile.QuadrantMask = mask;
    tile.EdgeMinY = kEdgeImageBorder;
    tile.EdgeMaxX = right;
    tile.EdgeMinX = left;
    tile.EdgeMaxY = kEdgeImageBorder;
    tile.TileRect = rect;
    tile.FullRect = whole;
  };
  if (index == 0) {
    *count = 1;
    setTile(tiles[0], kAllQuadrants, kEdgeWraps, kEdgeWraps, whole);
  } else {
    *count = 2;
    setTile(tiles[0], kQuadrant1 | kQuadrant2, kEdgeNeighbourTile, kEdgeWraps, {0.0f, 0.0f, 0.5f, 1.0f});
    setTile(tiles[1], kQuadrant3 | kQuadrant4, kEdgeWraps, kEdgeNeighbourTile, {0.5f, 0.0f, 0.5f, 1.0f});
  }
  return AppErr::kNoErr;
}

eAppErr CartesianFuncProj::GetQuadrantRect(int32_t quadrant, KsRectF* rect) {
  if (!rect) return KS_TRACE_ERR(AppErr::kBadArgument, "GetQuadrantRect");
  int32_t number = 0;
  switch (quadrant) {
    case kQuadrant1: number = 1; break;
    case kQuadrant2: number = 2; break;
    case kQuadrant3: number = 3; break;
    case kQuadrant4: number = 4; break;
    default: return KS_TRACE_ERR(AppErr::kBadArgument, "GetQuadrantRect");
  }
  const eAppErr err = GetRegionOfInterest(rect);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "GetQuadrantRect");
  rect->x = static_cast<float>(number - 1) * 0.25f;
  rect->w = 0.25f;
  return AppErr::kNoErr;
}

void CartesianFuncProj::GetPanRange(float* min, float* max) {
  if (min) *min = GetPanMinDeg();
  if (max) *max = GetPanMaxDeg();
}

UpdateSeed CartesianFuncProj::GetUpdateSeed() {
  if (m_verticalFunc && m_verticalFunc->GetUpdateSeed() != m_verticalSeedSeen) {
    m_verticalSeedSeen = m_verticalFunc->GetUpdateSeed();
    BumpBaseSeed();
  }
  return StoredSeed();
}

float CartesianFuncProj::GetPanMaxDeg() { return m_horizontalFunc ? m_horizontalFunc->GetAngleMaxDeg() : 0.0f; }
float CartesianFuncProj::GetPanMinDeg() { return m_horizontalFunc ? m_horizontalFunc->GetAngleMinDeg() : 0.0f; }

eAppErr CartesianFuncProj::SetPanMaxDeg(float degrees) {
  DidChangeCaller change(this, kPanMaxDegId);
  BumpExtraSeed();
  return m_horizontalFunc->SetAngleMaxDeg(degrees);
}

eAppErr CartesianFuncProj::SetPanMinDeg(float degrees) {
  DidChangeCaller change(this, kPanMinDegId);
  BumpExtraSeed();
  return m_horizontalFunc->SetAngleMinDeg(degrees);
}

eAppErr CartesianFuncProj::SetVerticalFunc(const KsRef<ProjectionAngleFunc>& function) {
  DidChangeCaller change(this, kVerticalFuncId);
  m_verticalFunc = function;
  BumpBaseSeed();
  return AppErr::kNoErr;
}

eAppErr CartesianFuncProj::SetVerticalOffset(float offset) {
  DidChangeCaller change(this, kVerticalOffsetId);
  m_verticalOffset = offset;
  BumpExtraSeed();
  return AppErr::kNoErr;
}

eAppErr CartesianFuncProj::SetVerticalScale(float scale) {
  DidChangeCaller change(this, kVerticalScaleId);
  m_verticalScale = scale;
  BumpExtraSeed();
  return AppErr::kNoErr;
}

eAppErr CartesianFuncProj::SetLockAspect(bool lock) {
  DidChangeCaller change(this, kLockAspectId);
  m_lockAspect = lock;
  return AppErr::kNoErr;
}

float CartesianFuncProj::GetHorizon() {
  if (!m_verticalFunc) return 0.5f;
  float v = 0.0f;
  m_verticalFunc->Evaluate(0.0f, &v);
  return v;
}

float CartesianFuncProj::GetVerticalImageRange() {
  if (!m_verticalFunc || !m_horizontalFunc) return 1.0f;
  return std::fabs(m_horizontalFunc->GetDomainMax() - m_horizontalFunc->GetDomainMin()) / GetImageAspect();
}

// Announces everything a refit of the vertical function may change around
// the refit.
template <class Move>
eAppErr CartesianFuncProj::RefitLocked(Move move) {
  DidChangeCaller tiltMin(this, kTiltMinDegId);
  DidChangeCaller tiltMax(this, kTiltMaxDegId);
  DidChangeCaller editorMin(this, kEditorTiltMinId);
  DidChangeCaller editorMax(this, kEditorTiltMaxId);
  DidChangeCaller horizon(this, kHorizonId);
  return move();
}

eAppErr CartesianFuncProj::SetHorizon(float horizon) {
  if (!m_lockAspect) return KS_TRACE_ERR(AppErr::kNotReady, "SetHorizon");
  return RefitLocked([&] {
    m_horizon = horizon;
    if (!m_verticalFunc || !m_horizontalFunc) return KS_TRACE_ERR(AppErr::kGeneral, "SetHorizon");
    return m_verticalFunc->MoveHorizon(horizon, GetVerticalImageRange());
  });
}

eAppErr CartesianFuncProj::SetEditorTiltMin(float degrees) {
  if (!m_lockAspect) return SetTiltMinDeg(degrees);
  return RefitLocked([&] {
    if (!m_verticalFunc || !m_horizontalFunc) return KS_TRACE_ERR(AppErr::kGeneral, "SetEditorTiltMin");
    return m_verticalFunc->MoveTiltMinDeg(degrees, GetVerticalImageRange());
  });
}

eAppErr CartesianFuncProj::SetEditorTiltMax(float degrees) {
  if (!m_lockAspect) return SetTiltMaxDeg(degrees);
  return RefitLocked([&] {
    if (!m_verticalFunc || !m_horizontalFunc) return KS_TRACE_ERR(AppErr::kGeneral, "SetEditorTiltMax");
    return m_verticalFunc->MoveTiltMaxDeg(degrees, GetVerticalImageRange());
  });
}
