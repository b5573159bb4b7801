#pragma once

#include "View/LayoutRegion.h"

// A region placed in points inside the layout frame. A negative x (or y)
// counts from the far edge; with HOffsetFromCenter (VOffsetFromCenter) x (y)
// is the offset of the region's edge from the frame's centre line.
class LayoutRegionAbsolute : public LayoutRegion {
  HC_CLASS_HEADER(LayoutRegionAbsolute)
 public:
  enum : int32_t { kFrameRectId = 300, kHOffsetFromCenterId = 301, kVOffsetFromCenterId = 302 };

  LayoutRegionAbsolute();
  ~LayoutRegionAbsolute() override;

  KsRectF ComputeFrame(const KsRectF& layoutFrame) override;

  KsRectF GetFrameRect() const { return m_frameRect; }
  // Announces "FrameRect" and "NeedsDisplay"; the region moves at the next
  // layout.
  eAppErr SetFrameRect(const KsRectF& rect);
  bool GetHOffsetFromCenter() const { return m_hOffsetFromCenter; }
  eAppErr SetHOffsetFromCenter(bool fromCenter);
  bool GetVOffsetFromCenter() const { return m_vOffsetFromCenter; }
  eAppErr SetVOffsetFromCenter(bool fromCenter);

 private:
  static float Place(float offset, bool fromCenter, float start, float extent);

  KsRectF m_frameRect;
  bool m_hOffsetFromCenter = false;
  bool m_vOffsetFromCenter = false;
};
HC_CLASS_OBJECT(LayoutRegionAbsolute, LayoutRegion)
