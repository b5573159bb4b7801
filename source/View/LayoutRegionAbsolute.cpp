#include "View/LayoutRegionAbsolute.h"

LayoutRegionAbsolute::LayoutRegionAbsolute() = default;
LayoutRegionAbsolute::~LayoutRegionAbsolute() = default;

float LayoutRegionAbsolute::Place(float offset, bool fromCenter, float start, float extent) {
  if (fromCenter) return (start + extent * 0.5f) + offset;
  // The region's own size is not subtracted: -110 with a width of 100 leaves
  // a margin of 10 at the far edge.
  const float inside = offset < 0.0f ? extent + offset : offset;
  return start + inside;
}

KsRectF LayoutRegionAbsolute::ComputeFrame(const KsRectF& layout) {
  return {Place(m_frameRect.x, m_hOffsetFromCenter, layout.x, layout.w),
          Place(m_frameRect.y, m_vOffsetFromCenter, layout.y, layout.h), m_frameRect.w, m_frameRect.h};
}

eAppErr LayoutRegionAbsolute::SetFrameRect(const KsRectF& rect) {
  DidChangeCaller change(this, kFrameRectId);
  DidChangeCaller display(this, kNeedsDisplayId);
  m_frameRect = rect;
  return AppErr::kNoErr;
}

eAppErr LayoutRegionAbsolute::SetHOffsetFromCenter(bool fromCenter) {
  DidChangeCaller change(this, kHOffsetFromCenterId);
  m_hOffsetFromCenter = fromCenter;
  return AppErr::kNoErr;
}

eAppErr LayoutRegionAbsolute::SetVOffsetFromCenter(bool fromCenter) {
  DidChangeCaller change(this, kVOffsetFromCenterId);
  m_vOffsetFromCenter = fromCenter;
  return AppErr::kNoErr;
}
