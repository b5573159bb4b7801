#pragma once

#include <cstdint>

#include "General/KsColor.h"
#include "View/HcVectorObject.h"

class HcVertexBuffer;

// A vector object that draws the polygons of a vertex buffer a subclass
// supplies, filled, outlined or both. Polygons are never hit.
class HcPolygons : public HcVectorObject {
  HC_CLASS_HEADER(HcPolygons)
 public:
  enum : int32_t {
    kDrawOutlineId = 300,
    kOutlineColorId = 301,
    kOutlineWidthId = 302,
    kDrawFillId = 303,
    kFillColorId = 304,
  };
  // Renderer fill modes.
  static constexpr int32_t kFilled = 0;
  static constexpr int32_t kOutlined = 1;

  HcPolygons();
  ~HcPolygons() override;

  // 0 without polygons to draw; otherwise the result of the last pass.
  eAppErr Draw(const KsRect<int32_t>& frame, const KsRef<PanoView>& contextView, const KsRef<PanoRenderer>& renderer,
               float z) override;
  // The buffer to draw, or null for nothing.
  virtual KsRef<HcVertexBuffer> MakeVertexBuffer(const KsRect<int32_t>& frame, const KsRef<PanoView>& contextView,
                                                 const KsRef<PanoRenderer>& renderer, float z) = 0;

  bool GetDrawOutline() const { return m_drawOutline; }
  eAppErr SetDrawOutline(bool draw);
  KsColorF GetOutlineColor() const { return m_outlineColor; }
  eAppErr SetOutlineColor(const KsColorF& color);
  float GetOutlineWidth() const { return m_outlineWidth; }
  eAppErr SetOutlineWidth(float width);
  bool GetDrawFill() const { return m_drawFill; }
  eAppErr SetDrawFill(bool draw);
  KsColorF GetFillColor() const { return m_fillColor; }
  eAppErr SetFillColor(const KsColorF& color);

 private:
  bool m_drawOutline = true;
  bool m_drawFill = false;
  KsColorF m_fillColor{0.0f, 0.0f, 0.0f, 1.0f};
  KsColorF m_outlineColor{0.0f, 0.0f, 1.0f, 1.0f};
  float m_outlineWidth = 2.0f;
};
HC_CLASS_OBJECT(HcPolygons, HcVectorObject)
