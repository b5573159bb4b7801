#include "View/HcPolygons.h"

#include "Renderer/HcVertexBuffer.h"
#include "Renderer/PanoRenderer.h"

HcPolygons::HcPolygons() = default;
HcPolygons::~HcPolygons() = default;

eAppErr HcPolygons::Draw(const KsRect<int32_t>& frame, const KsRef<PanoView>& contextView,
                         const KsRef<PanoRenderer>& renderer, float z) {
  if (!renderer) return KS_TRACE_ERR(AppErr::kNotReady, "Draw");
  KsRef<HcVertexBuffer> buffer = MakeVertexBuffer(frame, contextView, renderer, z);
  if (!buffer) return AppErr::kNoErr;
  eAppErr result = AppErr::kNoErr;
  if (m_drawFill) {
    renderer->SetColor(m_fillColor.r, m_fillColor.g, m_fillColor.b, m_fillColor.a);
    result = buffer->Draw();
    if (AppErrFailed(result)) return KS_TRACE_ERR(result, "Draw");
  }
  if (m_drawOutline) {
    renderer->SetFillMode(kOutlined);
    renderer->SetLineWidth(m_outlineWidth);
    renderer->SetColor(m_outlineColor.r, m_outlineColor.g, m_outlineColor.b, m_outlineColor.a);
    result = buffer->Draw();
    renderer->SetFillMode(kFilled);
    if (AppErrFailed(result)) return KS_TRACE_ERR(result, "Draw");
  }
  return result;
}

eAppErr HcPolygons::SetDrawOutline(bool draw) {
  DidChangeCaller change(this, kDrawOutlineId);
  m_drawOutline = draw;
  return AppErr::kNoErr;
}

eAppErr HcPolygons::SetOutlineColor(const KsColorF& color) {
  DidChangeCaller change(this, kOutlineColorId);
  m_outlineColor = color;
  return AppErr::kNoErr;
}

eAppErr HcPolygons::SetOutlineWidth(float width) {
  DidChangeCaller change(this, kOutlineWidthId);
  m_outlineWidth = width;
  return AppErr::kNoErr;
}

eAppErr HcPolygons::SetDrawFill(bool draw) {
  DidChangeCaller change(this, kDrawFillId);
  m_drawFill = draw;
  return AppErr::kNoErr;
}

eAppErr HcPolygons::SetFillColor(const KsColorF& color) {
  DidChangeCaller change(this, kFillColorId);
  m_fillColor = color;
  return AppErr::kNoErr;
}
