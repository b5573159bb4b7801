#pragma once

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "General/KsPoint.h"
#include "General/KsRect.h"

class PanoRenderer;
class MouseResponder;
class KeyboardResponder;
class HcTweenCollection;
class ViewCollection;

// The abstract drawable view: a rectangle in its parent's coordinates with
// an opacity, a hidden flag, a mouse and a keyboard responder (each made on
// first use) and a list of tweens.
//
// Draw answers a negative error, 0 (drawn) or kNotDrawnYet (nothing to draw
// yet, e.g. no frame has reached the source); containers go on past the
// latter. The frame is not a property: containers set it through SetFrame.
class HcView : public KsObject {
  HC_CLASS_HEADER(HcView)
 public:
  enum : int32_t {
    kMouseResponderId = 200,
    kKeyboardResponderId = 201,
    kOpacityId = 202,
    kTweensId = 203,
    kHiddenId = 204,
    kNeedsDisplayId = 205,
  };
  static constexpr eAppErr kNotDrawnYet = 3000;

  HcView();
  ~HcView() override;

  virtual eAppErr Draw(const KsRef<PanoRenderer>& renderer) = 0;
  virtual KsRef<MouseResponder> CreateDefaultMouseResponder();
  virtual KsRef<KeyboardResponder> CreateDefaultKeyboardResponder();
  // Stores the frame when its rounded pixel frame differs from the stored
  // one (then the frame counter grows by one); otherwise changes nothing.
  virtual eAppErr SetFrame(const KsRectF& frame);
  // Appends the views under the point, innermost and topmost first.
  virtual eAppErr CollectViewsAtPoint(const KsPointF& point, const KsRef<ViewCollection>& views);

  // The hit test: a new collection filled by the view's CollectViewsAtPoint.
  static KsRef<ViewCollection> GetViewsAtPoint(const KsRef<HcView>& view, const KsPointF& point);

  KsRectF GetFrame() const { return m_frame; }
  KsRect<int32_t> GetPixelFrame() const { return m_pixelFrame; }
  uint32_t GetFrameCounter() const { return m_frameCounter; }

  KsRef<MouseResponder> GetMouseResponder();
  eAppErr SetMouseResponder(const KsRef<MouseResponder>& responder);
  KsRef<KeyboardResponder> GetKeyboardResponder();
  eAppErr SetKeyboardResponder(const KsRef<KeyboardResponder>& responder);
  float GetOpacity() const { return m_opacity; }
  eAppErr SetOpacity(float opacity);
  KsRef<HcTweenCollection> GetTweens() const;
  eAppErr SetTweens(const KsRef<HcTweenCollection>& tweens);
  bool IsHidden() const { return m_hidden; }
  bool GetHidden() const { return m_hidden; }
  eAppErr SetHidden(bool hidden);

  KsRef<HcView> ThisRef() { return KsRef<HcView>(this); }
  // Announces "NeedsDisplay" to the view's observers.
  void AnnounceNeedsDisplay();

 private:
  bool m_hidden = false;
  uint32_t m_frameCounter = 0;
  KsRectF m_frame{0.0f, 0.0f, 1.0f, 1.0f};
  KsRect<int32_t> m_pixelFrame{0, 0, 1, 1};
  KsRef<MouseResponder> m_mouseResponder;
  KsRef<KeyboardResponder> m_keyboardResponder;
  float m_opacity = 1.0f;
  KsRef<HcTweenCollection> m_tweens;
};
HC_CLASS_OBJECT(HcView, KsObject)
