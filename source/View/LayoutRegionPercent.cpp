#include "View/LayoutRegionPercent.h"

LayoutRegionPercent::LayoutRegionPercent() = default;
LayoutRegionPercent::~LayoutRegionPercent() = default;

KsRectF LayoutRegionPercent::ComputeFrame(const KsRectF& layout) {
  return {m_frameRect.x * layout.w + layout.x, m_frameRect.y * layout.h + layout.y, m_frameRect.w * layout.w,
          m_frameRect.h * layout.h};
}

eAppErr LayoutRegionPercent::SetFrameRect(const KsRectF& rect) {
  DidChangeCaller change(this, kFrameRectId);
  DidChangeCaller display(this, kNeedsDisplayId);
  m_frameRect = rect;
  return AppErr::kNoErr;
}
