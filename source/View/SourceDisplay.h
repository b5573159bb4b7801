#pragma once

#include <cstdint>

#include "View/FlatTextureSetDrawing.h"
#include "View/HcVectorObject.h"

class PanoSource;
class HcTextureSet;

// A vector object that shows a source's current frame flat, without a
// projection, in a rectangle of the vector view: fractions of the view's
// frame, or points from its corner. It fetches the texture set and hands
// it to the drawing hook of its subclass.
class SourceDisplay : public HcVectorObject {
  HC_CLASS_HEADER(SourceDisplay)
 public:
  enum : int32_t {
    kSourceId = 300,
    kFramePercentId = 301,
    kFrameInPointsId = 302,
    kDrawTileBoundaryId = 303,
    kTextureCountId = 304,
    kOpacityId = 305,
  };
  // Quadrant mask asking for every pan quadrant.
  static constexpr uint32_t kAllQuadrants = 15;

  SourceDisplay();
  ~SourceDisplay() override;

  // The drawing rectangle in the frame, edges included; never for NaN.
  bool ContainsPoint(const KsRect<int32_t>& frame, const KsRef<PanoView>& contextView, const KsPointF& point) override;
  // -903 without a source or renderer; the source's failure; else the hook's result.
  eAppErr Draw(const KsRect<int32_t>& frame, const KsRef<PanoView>& contextView, const KsRef<PanoRenderer>& renderer,
               float z) override;
  virtual eAppErr DrawTextures(const KsRectF& rect, const KsRef<PanoRenderer>& renderer,
                               const KsRef<HcTextureSet>& textureSet, float z, float opacity) = 0;

  // The drawing rectangle in a vector view's pixel frame (y downward).
  KsRectF ComputeFrame(const KsRect<int32_t>& frame) const;

  KsRef<PanoSource> GetSource() const;
  eAppErr SetSource(const KsRef<PanoSource>& source);
  KsRectF GetFramePercent() const { return m_framePercent; }
  eAppErr SetFramePercent(const KsRectF& rect);
  bool GetFrameInPoints() const { return m_frameInPoints; }
  eAppErr SetFrameInPoints(bool inPoints);
  bool GetDrawTileBoundary() const { return m_drawTileBoundary; }
  eAppErr SetDrawTileBoundary(bool draw);
  // The texture count of the set last fetched, 0 before the first draw.
  uint32_t GetTextureCount() const;
  float GetOpacity() const { return m_opacity; }
  eAppErr SetOpacity(float opacity);
  KsRef<HcTextureSet> GetTextureSet() const;

 protected:
  // The quad kept for VectorView::DrawTextureSetFlat between draws.
  FlatTextureSetDrawing::Cache& FlatCache() { return m_flatCache; }

 private:
  KsRectF m_framePercent{0.0f, 0.0f, 1.0f, 1.0f};
  KsRef<PanoSource> m_source;
  KsRef<HcTextureSet> m_textureSet;
  float m_opacity = 1.0f;
  bool m_drawTileBoundary = false;
  bool m_frameInPoints = false;
  FlatTextureSetDrawing::Cache m_flatCache;
};
HC_CLASS_OBJECT(SourceDisplay, HcVectorObject)
