#include "View/HcGlyphButton.h"

#include "Renderer/HcVertexBuffer.h"
#include "Source/PanoSource.h"
#include "Utilities/HcPropertyBindingBase.h"
#include "View/VectorView.h"

HcGlyphButton::HcGlyphButton() = default;
HcGlyphButton::~HcGlyphButton() = default;

KsColorF HcGlyphButton::CurrentColor() const {
  if (!m_enabled) return {1.0f, 1.0f, 1.0f, 0.33f};
  if (m_pressed && m_cursorOver) return {0.75f, 0.75f, 0.75f, 1.0f};
  return {1.0f, 1.0f, 1.0f, 1.0f};
}

eAppErr HcGlyphButton::DrawTextures(const KsRectF& rect, const KsRef<PanoRenderer>& renderer,
                                    const KsRef<HcTextureSet>& textureSet, float z, float) {
  return VectorView::DrawTextureSetFlat(rect, renderer, textureSet, false, CurrentColor(), FlatCache(), z);
}

void HcGlyphButton::MouseDown() {
  if (m_enabled) m_pressed = true;
}

void HcGlyphButton::MouseUp() {
  if (m_enabled && m_pressed && m_cursorOver && m_action) {
    m_action->SetValue(KsRef<KsObject>(this));
  }
  m_pressed = false;
}

void HcGlyphButton::CursorEntered() { m_cursorOver = true; }

void HcGlyphButton::CursorExited() { m_cursorOver = false; }

eAppErr HcGlyphButton::SetEnabled(bool enabled) {
  DidChangeCaller change(this, kEnabledId);
  m_enabled = enabled;
  return AppErr::kNoErr;
}

KsRef<HcPropertyBindingBase> HcGlyphButton::GetAction() const { return m_action; }

eAppErr HcGlyphButton::SetAction(const KsRef<HcPropertyBindingBase>& action) {
  DidChangeCaller change(this, kActionId);
  m_action = action;
  return AppErr::kNoErr;
}

eAppErr HcGlyphButton::SetPayload(const KsRef<KsObject>& payload) {
  DidChangeCaller change(this, kPayloadId);
  m_payload = payload;
  return AppErr::kNoErr;
}

KsRef<PanoSource> HcGlyphButton::GetOnSource() const { return m_onSource; }

eAppErr HcGlyphButton::SetOnSource(const KsRef<PanoSource>& source) {
  DidChangeCaller change(this, kOnSourceId);
  m_onSource = source;
  return AppErr::kNoErr;
}

KsRef<PanoSource> HcGlyphButton::GetOffSource() const { return m_offSource; }

eAppErr HcGlyphButton::SetOffSource(const KsRef<PanoSource>& source) {
  DidChangeCaller change(this, kOffSourceId);
  m_offSource = source;
  return AppErr::kNoErr;
}

eAppErr HcGlyphButton::SetState(bool state) {
  DidChangeCaller change(this, kStateId);
  m_state = state;
  if (!m_onSource) return AppErr::kNoErr;
  if (!m_offSource) m_offSource = GetSource();
  SetSource(state ? m_onSource : m_offSource);
  return AppErr::kNoErr;
}
