#pragma once

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"

class HcView;

// One member of a frame view: a view and its share of the frame.
class FrameSubview : public KsObject {
  HC_CLASS_HEADER(FrameSubview)
 public:
  enum : int32_t { kProportionId = 200, kViewId = 201 };

  FrameSubview();
  ~FrameSubview() override;

  float GetProportion() const { return m_proportion; }
  // -2 for a proportion that is not above 0 (the old one stays).
  eAppErr SetProportion(float proportion);
  KsRef<HcView> GetView() const;
  // A subview's view is set once: -903 when it has one.
  eAppErr SetView(const KsRef<HcView>& view);

 private:
  float m_proportion = 1.0f;
  KsRef<HcView> m_view;
};
HC_CLASS_OBJECT(FrameSubview, KsObject)
