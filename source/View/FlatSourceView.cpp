#include "View/FlatSourceView.h"

#include "Renderer/HcTextureSet.h"
#include "Renderer/HcVertexBuffer.h"
#include "Renderer/PanoRenderer.h"
#include "Source/PanoSource.h"
#include "View/ViewMath.h"

namespace {

// Renderer texture functions.
constexpr int32_t kTexModulate = 0;
constexpr int32_t kTexDecal = 1;

}  // namespace

FlatSourceView::FlatSourceView() = default;
FlatSourceView::~FlatSourceView() = default;

eAppErr FlatSourceView::SetDrawTileBoundaries(bool draw) {
  m_drawTileBoundaries = draw;
  return AppErr::kNoErr;
}

eAppErr FlatSourceView::SetZDepth(float depth) {
  m_zDepth = depth;
  return AppErr::kNoErr;
}

KsRef<PanoProjection> FlatSourceView::SourceProjection() const {
  KsRef<PanoSource> source = GetSource();
  return source ? source->GetProjection() : KsRef<PanoProjection>();
}

eAppErr FlatSourceView::Draw(const KsRef<PanoRenderer>& renderer) {
  eAppErr err = HcTexturedView::Draw(renderer);
  if (err == kNotDrawnYet) return AppErr::kNoErr;
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "Draw");
  err = renderer->SetViewport(GetPixelFrame());
  if (!AppErrFailed(err)) err = renderer->Ortho2D(KsRectF(0, 0, 1, 1), true);
  if (!AppErrFailed(err)) err = renderer->ModelViewIdentity();
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "Draw");
  renderer->SetTexFunc(kTexModulate);
  err = FlatTextureSetDrawing::DrawTextureSetFlat(KsRectF(0, 0, 1, 1), renderer, GetTextureSet(),
                                                  m_drawTileBoundaries, {1.0f, 1.0f, 1.0f, GetOpacity()}, m_cache,
                                                  m_zDepth);
  renderer->SetTexFunc(kTexDecal);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "Draw");
  return err;
}

eAppErr FlatSourceView::DirectionAtPointDeg(const KsPointF& point, float* pan, float* tilt) {
  if (!pan || !tilt) return KS_TRACE_ERR(AppErr::kBadArgument, "DirectionAtPointDeg");
  KsRef<PanoProjection> projection = SourceProjection();
  if (!projection) return KS_TRACE_ERR(AppErr::kUnsupportedType, "DirectionAtPointDeg");
  const KsRectF frame = GetFrame();
  const float fx = (point.x - frame.x) / frame.w;
  const float fy = 1.0f - (point.y - frame.y) / frame.h;
  if (!projection->GetAngleRadForPoint(fx, fy, pan, tilt)) return kOutsideImage;
  *pan = RadToDeg(*pan);
  *tilt = RadToDeg(*tilt);
  return AppErr::kNoErr;
}

eAppErr FlatSourceView::PointAtDirectionDeg(float pan, float tilt, KsPointF* point, int32_t image) {
  if (image > 0 || !point) return KS_TRACE_ERR(AppErr::kBadArgument, "PointAtDirectionDeg");
  KsRef<PanoProjection> projection = SourceProjection();
  if (!projection) return KS_TRACE_ERR(AppErr::kUnsupportedType, "PointAtDirectionDeg");
  float fx = 0.0f;
  float fy = 0.0f;
  const bool inside = projection->GetPointForAngleRad(DegToRad(pan), DegToRad(tilt), &fx, &fy);
  const KsRectF frame = GetFrame();
  point->x = fx * frame.w + frame.x;
  point->y = (1.0f - fy) * frame.h + frame.y;
  return inside ? AppErr::kNoErr : kOutsideImage;
}
