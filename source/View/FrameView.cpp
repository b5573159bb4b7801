#include "View/FrameView.h"

#include <cmath>

#include "Renderer/PanoRenderer.h"
#include "View/FrameSubViewCollection.h"
#include "View/ViewCollection.h"

FrameView::FrameView() : m_subviews(KsMakeRef<FrameSubViewCollection>()) {}
FrameView::~FrameView() = default;

eAppErr FrameView::LayoutSubviews() {
  const KsRectF frame = GetFrame();
  if (!m_subviews) return AppErr::kNoErr;
  const float extent = m_vertical ? frame.h : frame.w;
  float position = m_vertical ? frame.y : frame.x;
  m_total = 0.0f;
  for (uint32_t i = 0; i < m_subviews->GetCount(); ++i) {
    if (KsRef<FrameSubview> member = m_subviews->GetByIndex(i)) m_total += member->GetProportion();
  }
  for (uint32_t i = 0; i < m_subviews->GetCount(); ++i) {
    KsRef<FrameSubview> member = m_subviews->GetByIndex(i);
    if (!member) continue;
    const float share = (member->GetProportion() / m_total) * extent;
    KsRef<HcView> view = member->GetView();
    if (view) {
      KsRectF rect = frame;
      if (m_vertical) {
        rect.y = std::floor(position);
        rect.h = std::floor(share);
      } else {
        rect.x = std::floor(position);
        rect.w = std::floor(share);
      }
      view->SetFrame(rect);
    }
    position += share;
  }
  return AppErr::kNoErr;
}

eAppErr FrameView::SetFrame(const KsRectF& frame) {
  const eAppErr err = HcView::SetFrame(frame);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetFrame");
  return LayoutSubviews();
}

eAppErr FrameView::Draw(const KsRef<PanoRenderer>& renderer) {
  eAppErr result = AppErr::kNoErr;
  const uint32_t count = m_subviews ? m_subviews->GetCount() : 0;
  for (uint32_t i = 0; i < count; ++i) {
    KsRef<FrameSubview> member = m_subviews->GetByIndex(i);
    KsRef<HcView> view = member ? member->GetView() : KsRef<HcView>();
    if (!view || view->IsHidden()) continue;
    result = view->Draw(renderer);
    if (AppErrFailed(result)) return KS_TRACE_ERR(result, "Draw");
  }
  return result;
}

eAppErr FrameView::CollectViewsAtPoint(const KsPointF& point, const KsRef<ViewCollection>& views) {
  const KsRectF frame = GetFrame();
  float offset = m_vertical ? point.y - frame.y : point.x - frame.x;
  const float extent = m_vertical ? frame.h : frame.w;
  const uint32_t count = m_subviews ? m_subviews->GetCount() : 0;
  for (uint32_t i = 0; i < count && m_total > 0.0f; ++i) {
    KsRef<FrameSubview> member = m_subviews->GetByIndex(i);
    if (!member) continue;
    const float share = extent * (member->GetProportion() / m_total);
    if (offset < share) {
      if (KsRef<HcView> view = member->GetView()) view->CollectViewsAtPoint(point, views);
      break;
    }
    offset -= share;
  }
  return HcView::CollectViewsAtPoint(point, views);
}

eAppErr FrameView::AddView(const KsRef<HcView>& view, float proportion) {
  auto member = KsMakeRef<FrameSubview>();
  member->SetView(view);
  member->SetProportion(proportion);
  GetSubViews()->Add(member);
  const eAppErr err = LayoutSubviews();
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "AddView");
  return err;
}

KsRef<FrameSubViewCollection> FrameView::GetSubViews() {
  if (!m_subviews) m_subviews = KsMakeRef<FrameSubViewCollection>();
  return m_subviews;
}

eAppErr FrameView::SetSubViews(const KsRef<FrameSubViewCollection>& subviews) {
  m_subviews = subviews;
  return LayoutSubviews();
}

eAppErr FrameView::SetVertical(bool vertical) {
  m_vertical = vertical;
  return LayoutSubviews();
}
