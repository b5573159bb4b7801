#pragma once

#include "View/LayoutRegion.h"

// A region placed in fractions of the layout frame (1.0 is the whole width
// or height).
class LayoutRegionPercent : public LayoutRegion {
  HC_CLASS_HEADER(LayoutRegionPercent)
 public:
  enum : int32_t { kFrameRectId = 300 };

  LayoutRegionPercent();
  ~LayoutRegionPercent() override;

  KsRectF ComputeFrame(const KsRectF& layoutFrame) override;

  KsRectF GetFrameRect() const { return m_frameRect; }
  eAppErr SetFrameRect(const KsRectF& rect);

 private:
  KsRectF m_frameRect;
};
HC_CLASS_OBJECT(LayoutRegionPercent, LayoutRegion)
