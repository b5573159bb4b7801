#include "View/ViewOutliner.h"

#include <cmath>

#include "Renderer/HcVertexBuffer.h"
#include "Renderer/PanoRenderer.h"
#include "View/PanoView.h"

namespace {

// n points from `point` on, `step` apart: each point's direction of the
// view into `directions` at `count`. A point the view maps to nothing keeps
// the direction before it (or (0, 0) at a side's first point).
void AddLine(uint32_t n, uint32_t& count, float stepX, float stepY, KsPointF& point, PanoView& view,
             std::vector<KsPointF>& directions) {
  float pan = 0.0f;
  float tilt = 0.0f;
  for (uint32_t i = 0; i < n; ++i) {
    view.DirectionAtPointDeg(point, &pan, &tilt);
    if (count < directions.size()) directions[count] = KsPointF{pan, tilt};
    ++count;
    point.x += stepX;
    point.y += stepY;
  }
}

uint32_t Wrap(int64_t index, uint32_t n) {
  const int64_t wrapped = index % static_cast<int64_t>(n);
  return static_cast<uint32_t>(wrapped < 0 ? wrapped + n : wrapped);
}

}  // namespace

ViewOutliner::ViewOutliner() = default;
ViewOutliner::~ViewOutliner() = default;

KsRef<PanoView> ViewOutliner::GetOutlinedView() const {
  return m_outlinedView ? m_outlinedView->GetTargetAs<PanoView>() : KsRef<PanoView>();
}

eAppErr ViewOutliner::SetOutlinedView(const KsRef<PanoView>& view) {
  DidChangeCaller change(this, kOutlinedViewId);
  m_outlinedView = WeakRef::GetWeakRef(view.Get());
  m_outlinedStamp = 0;
  return AppErr::kNoErr;
}

eAppErr ViewOutliner::SetPointsPerSide(uint32_t points) {
  if (points < kMinPointsPerSide || points > kMaxPointsPerSide) {
    return KS_TRACE_ERR(AppErr::kBadArgument, "SetPointsPerSide");
  }
  DidChangeCaller change(this, kPointsPerSideId);
  m_pointsPerSide = points;
  return AppErr::kNoErr;
}

KsRef<PanoView> ViewOutliner::GetLastContextView() const {
  return m_lastContextView ? m_lastContextView->GetTargetAs<PanoView>() : KsRef<PanoView>();
}

KsRef<HcVertexBuffer> ViewOutliner::MakeVertexBuffer(const KsRect<int32_t>& frame, const KsRef<PanoView>& contextView,
                                                     const KsRef<PanoRenderer>& renderer, float z) {
  KsRef<PanoView> outlined = GetOutlinedView();
  if (!outlined || !contextView || !renderer) return {};
  const KsRectF outlinedFrame = outlined->GetFrame();
  // The sides are walked in steps of the frame over the points per side.
  if (!(outlinedFrame.w > 0.0f) || !(outlinedFrame.h > 0.0f) || !std::isfinite(outlinedFrame.w) ||
      !std::isfinite(outlinedFrame.h)) {
    return {};
  }
  const uint32_t n = 4 * m_pointsPerSide;
  const uint32_t images = contextView->GetNumberOfImages();
  if (images == 0) return {};
  bool atUpper = false;
  bool atLower = false;
  outlined->GetTiltLimitFlags(&atUpper, &atLower);
  const bool closesAlongAnEdge = atUpper || atLower;
  const uint32_t perStrip = closesAlongAnEdge ? n * images + 2 : n;
  const uint32_t strips = closesAlongAnEdge ? 1 : images;

  const uint32_t limitFlags = (atUpper ? 1u : 0u) | (atLower ? 2u : 0u);
  if (limitFlags != m_limitFlags) {
    m_contextStamp = 0;
    m_limitFlags = limitFlags;
  }
  if (!(frame == m_cachedFrame)) {
    m_contextStamp = 0;
    m_cachedFrame = frame;
  }
  if (!m_buffer || m_buffer->GetVerticesPerStrip() != perStrip || m_buffer->GetStripCount() != strips) {
    m_outlinedStamp = 0;
    m_contextStamp = 0;
    m_buffer = renderer->CreateVertexBuffer(perStrip, strips);
    if (!m_buffer) return {};
    m_buffer->SetDrawMode(kPolygonMode);
    m_buffer->SetUseTexCoords(false);
  }
  if (GetLastContextView() != contextView) {
    m_contextStamp = 0;
    m_lastContextView = WeakRef::GetWeakRef(contextView.Get());
  }
  if (m_directions.size() != n || outlined->GetLookGeneration() != m_outlinedStamp) {
    ComputeDirections(*outlined);
    m_contextStamp = 0;
  }
  if (contextView->GetLookGeneration() == m_contextStamp) return m_buffer;
  FillBuffer(*contextView, frame, images, atUpper, atLower, z);
  return m_buffer;
}

void ViewOutliner::ComputeDirections(PanoView& outlined) {
  const uint32_t perSide = m_pointsPerSide;
  m_directions.assign(4 * perSide, KsPointF{0.0f, 0.0f});
  const KsRectF f = outlined.GetFrame();
  const float count = static_cast<float>(perSide);
  KsPointF point{f.x, f.y};
  uint32_t index = 0;
  AddLine(perSide, index, f.w / count, 0.0f, point, outlined, m_directions);
  AddLine(perSide, index, 0.0f, f.h / count, point, outlined, m_directions);
  AddLine(perSide, index, -f.w / count, 0.0f, point, outlined, m_directions);
  AddLine(perSide, index, 0.0f, -f.h / count, point, outlined, m_directions);
  m_outlinedStamp = outlined.GetLookGeneration();
}

void ViewOutliner::FillBuffer(PanoView& context, const KsRect<int32_t>& frame, uint32_t images, bool atUpper,
                              bool atLower, float z) {
  const uint32_t n = static_cast<uint32_t>(m_directions.size());
  const bool closesAlongAnEdge = atUpper || atLower;
  const float top = static_cast<float>(frame.y);
  const float height = static_cast<float>(frame.h);
  uint32_t start = 0;
  int32_t step = 1;
  if (closesAlongAnEdge) {
    for (uint32_t j = 1; j < n; ++j) {
      if (m_directions[j].x < m_directions[start].x) start = j;
    }
    const float smallest = m_directions[start].x;
    const float next = m_directions[Wrap(int64_t{start} + 1, n)].x - smallest;
    const float previous = m_directions[Wrap(int64_t{start} - 1, n)].x - smallest;
    step = next > previous ? -1 : 1;
  }
  const auto pointAt = [&](uint32_t direction, uint32_t image) {
    KsPointF point{0.0f, 0.0f};
    context.PointAtDirectionDeg(m_directions[direction].x, m_directions[direction].y, &point,
                                static_cast<int32_t>(image));
    return point;
  };
  m_buffer->LockBuffer();
  const uint32_t strips = m_buffer->GetStripCount();
  const uint32_t walked = closesAlongAnEdge ? n * images : n;
  float lastX = 0.0f;
  float firstX = 0.0f;
  for (uint32_t strip = 0; strip < strips; ++strip) {
    for (uint32_t v = 0; v < walked; ++v) {
      const uint32_t direction = Wrap(int64_t{start} + int64_t{step} * v, n);
      const uint32_t image = closesAlongAnEdge ? v / n : strip;
      const KsPointF point = pointAt(direction, image);
      m_buffer->SetVertexXYZ(strip, v, point.x, height - point.y + 2.0f * top, z);
      if (v == 0) firstX = point.x;
      lastX = point.x;
    }
  }
  if (closesAlongAnEdge) {
    const float edge = atUpper ? top : top + height;
    m_buffer->SetVertexXYZ(0, walked, lastX, edge, z);
    m_buffer->SetVertexXYZ(0, walked + 1, firstX, edge, z);
  }
  m_buffer->UnlockBuffer();
  m_contextStamp = context.GetLookGeneration();
}
