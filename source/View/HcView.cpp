#include "View/HcView.h"

#include <cmath>

#include "Renderer/PanoRenderer.h"
#include "Responder/KeyboardResponder.h"
#include "Responder/MouseIgnoreResponder.h"
#include "Time/HcTweenCollection.h"
#include "View/ViewCollection.h"

namespace {

// Halfway cases away from zero; values that are not finite or lie beyond
// the integer range end at 0 or the range's edge.
int32_t RoundToPixel(float value) {
  if (!std::isfinite(value)) return 0;
  constexpr float kLimit = 1073741824.0f;  // 2^30
  if (value >= kLimit) return static_cast<int32_t>(kLimit);
  if (value <= -kLimit) return -static_cast<int32_t>(kLimit);
  return static_cast<int32_t>(std::lround(value));
}

}  // namespace

HcView::HcView() = default;
HcView::~HcView() = default;

KsRef<MouseResponder> HcView::CreateDefaultMouseResponder() { return KsMakeRef<MouseIgnoreResponder>(); }

KsRef<KeyboardResponder> HcView::CreateDefaultKeyboardResponder() { return KsMakeRef<KeyboardResponder>(); }

eAppErr HcView::SetFrame(const KsRectF& frame) {
  const KsRect<int32_t> pixels(RoundToPixel(frame.x), RoundToPixel(frame.y), RoundToPixel(frame.w),
                               RoundToPixel(frame.h));
  if (pixels == m_pixelFrame) return AppErr::kNoErr;
  ++m_frameCounter;
  m_pixelFrame = pixels;
  m_frame = frame;
  return AppErr::kNoErr;
}

eAppErr HcView::CollectViewsAtPoint(const KsPointF& point, const KsRef<ViewCollection>& views) {
  if (!views) return KS_TRACE_ERR(AppErr::kBadArgument, "CollectViewsAtPoint");
  if (!m_hidden && m_frame.Contains(point)) views->Add(ThisRef());
  return AppErr::kNoErr;
}

KsRef<ViewCollection> HcView::GetViewsAtPoint(const KsRef<HcView>& view, const KsPointF& point) {
  auto views = KsMakeRef<ViewCollection>();
  if (view) view->CollectViewsAtPoint(point, views);
  return views;
}

KsRef<MouseResponder> HcView::GetMouseResponder() {
  if (!m_mouseResponder) {
    DidChangeCaller change(this, kMouseResponderId);
    SetMouseResponder(CreateDefaultMouseResponder());
  }
  return m_mouseResponder;
}

eAppErr HcView::SetMouseResponder(const KsRef<MouseResponder>& responder) {
  DidChangeCaller change(this, kMouseResponderId);
  m_mouseResponder = responder;
  if (m_mouseResponder) m_mouseResponder->SetView(ThisRef());
  return AppErr::kNoErr;
}

KsRef<KeyboardResponder> HcView::GetKeyboardResponder() {
  if (!m_keyboardResponder) {
    DidChangeCaller change(this, kKeyboardResponderId);
    SetKeyboardResponder(CreateDefaultKeyboardResponder());
  }
  return m_keyboardResponder;
}

eAppErr HcView::SetKeyboardResponder(const KsRef<KeyboardResponder>& responder) {
  DidChangeCaller change(this, kKeyboardResponderId);
  m_keyboardResponder = responder;
  if (m_keyboardResponder) m_keyboardResponder->SetView(ThisRef());
  return AppErr::kNoErr;
}

eAppErr HcView::SetOpacity(float opacity) {
  DidChangeCaller change(this, kOpacityId);
  m_opacity = opacity;
  return AppErr::kNoErr;
}

KsRef<HcTweenCollection> HcView::GetTweens() const { return m_tweens; }

eAppErr HcView::SetTweens(const KsRef<HcTweenCollection>& tweens) {
  DidChangeCaller change(this, kTweensId);
  m_tweens = tweens;
  return AppErr::kNoErr;
}

eAppErr HcView::SetHidden(bool hidden) {
  DidChangeCaller change(this, kHiddenId);
  m_hidden = hidden;
  return AppErr::kNoErr;
}

void HcView::AnnounceNeedsDisplay() { DidChangeCaller change(this, kNeedsDisplayId); }
