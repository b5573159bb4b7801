#pragma once

#include <cstdint>

#include "View/HcView.h"

class FrameSubViewCollection;

// A view that splits its frame into a column (Vertical) or a row of views,
// each taking a share proportional to its member's weight.
class FrameView : public HcView {
  HC_CLASS_HEADER(FrameView)
 public:
  enum : int32_t { kSubViewsId = 300, kVerticalId = 301 };

  FrameView();
  ~FrameView() override;

  eAppErr Draw(const KsRef<PanoRenderer>& renderer) override;
  eAppErr SetFrame(const KsRectF& frame) override;
  eAppErr CollectViewsAtPoint(const KsPointF& point, const KsRef<ViewCollection>& views) override;

  // Gives every member's view its frame: each starts at the floor of its
  // exact position and is as long as the floor of its exact share.
  eAppErr LayoutSubviews();
  // Adds a member; a proportion of 0 or less is refused (-2 traced) and the
  // member keeps 1.0.
  eAppErr AddView(const KsRef<HcView>& view, float proportion);

  // Made (empty) when the view has none.
  KsRef<FrameSubViewCollection> GetSubViews();
  eAppErr SetSubViews(const KsRef<FrameSubViewCollection>& subviews);
  bool GetVertical() const { return m_vertical; }
  eAppErr SetVertical(bool vertical);

 private:
  KsRef<FrameSubViewCollection> m_subviews;
  // The sum of the proportions at the last layout; 0 before the first, when
  // the hit test finds no member.
  float m_total = 0.0f;
  bool m_vertical = true;
};
HC_CLASS_OBJECT(FrameView, HcView)
