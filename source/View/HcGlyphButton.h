#pragma once

#include <cstdint>

#include "Responder/PressableVectorObject.h"
#include "View/HcGlyph.h"

class HcPropertyBindingBase;

// A glyph that acts as a button. It shows OnSource while its State is on and
// OffSource while off, dims itself while disabled and darkens while pressed
// with the cursor over it. A press followed by a release over the button
// writes the button itself through the Action binding, so that whatever the
// binding targets learns which button was pressed (and can read its
// Payload); dragging off the button before releasing cancels the click.
// A click doesn't toggle State: the receiver of the action does, or a tween,
// a binding or the markup.
class HcGlyphButton : public HcGlyph, public PressableVectorObject {
  HC_CLASS_HEADER(HcGlyphButton)
 public:
  enum : int32_t {
    kEnabledId = 500,
    kActionId = 501,
    kPayloadId = 502,
    kOnSourceId = 503,
    kOffSourceId = 504,
    kStateId = 505,
  };

  HcGlyphButton();
  ~HcGlyphButton() override;

  // Drawn without tile outlines, in a colour by state (Opacity is not used).
  eAppErr DrawTextures(const KsRectF& rect, const KsRef<PanoRenderer>& renderer, const KsRef<HcTextureSet>& textureSet,
                       float z, float opacity) override;

  // What the vector-object mouse responder calls: a press, a release, and
  // the cursor moving onto or off the button.
  void MouseDown() override;
  void MouseUp() override;
  void CursorEntered() override;
  void CursorExited() override;

  // The colour the button is drawn in now.
  KsColorF CurrentColor() const;

  bool GetEnabled() const { return m_enabled; }
  eAppErr SetEnabled(bool enabled);
  KsRef<HcPropertyBindingBase> GetAction() const;
  eAppErr SetAction(const KsRef<HcPropertyBindingBase>& action);
  KsRef<KsObject> GetPayload() const { return m_payload; }
  eAppErr SetPayload(const KsRef<KsObject>& payload);
  KsRef<PanoSource> GetOnSource() const;
  // The source shown changes only with the next State change.
  eAppErr SetOnSource(const KsRef<PanoSource>& source);
  KsRef<PanoSource> GetOffSource() const;
  eAppErr SetOffSource(const KsRef<PanoSource>& source);
  bool GetState() const { return m_state; }
  // Stores State and, when an OnSource is set, shows OnSource for on and
  // OffSource for off; the first such change takes the source shown then as
  // OffSource when none is set.
  eAppErr SetState(bool state);
  bool GetPressed() const { return m_pressed; }
  bool GetCursorOver() const { return m_cursorOver; }

 private:
  bool m_enabled = true;
  bool m_pressed = false;
  bool m_cursorOver = false;
  bool m_state = false;
  KsRef<HcPropertyBindingBase> m_action;
  KsRef<PanoSource> m_offSource;
  KsRef<PanoSource> m_onSource;
  KsRef<KsObject> m_payload;
};
HC_CLASS_OBJECT(HcGlyphButton, HcGlyph)
