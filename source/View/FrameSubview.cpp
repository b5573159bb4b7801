#include "View/FrameSubview.h"

#include <cmath>

#include "View/HcView.h"

FrameSubview::FrameSubview() = default;
FrameSubview::~FrameSubview() = default;

eAppErr FrameSubview::SetProportion(float proportion) {
  // Infinity would make every other member's share zero and its own NaN.
  if (!(proportion > 0.0f) || !std::isfinite(proportion)) return KS_TRACE_ERR(AppErr::kBadArgument, "SetProportion");
  m_proportion = proportion;
  return AppErr::kNoErr;
}

KsRef<HcView> FrameSubview::GetView() const { return m_view; }

eAppErr FrameSubview::SetView(const KsRef<HcView>& view) {
  if (m_view) return KS_TRACE_ERR(AppErr::kNotReady, "SetView");
  m_view = view;
  return AppErr::kNoErr;
}
