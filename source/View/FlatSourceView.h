#pragma once

#include <cstdint>

#include "Projection/PanoProjection.h"
#include "View/FlatTextureSetDrawing.h"
#include "View/PanoView.h"

// The whole image of the source, neither unwarped nor turned, stretched over
// the frame: the frame stands for the image from its top-left to its
// bottom-right corner. Points map to directions through the source's
// projection; they are in the frame's space with y upward, so the image's
// top row lies at the frame's top edge.
class FlatSourceView : public PanoView {
  HC_CLASS_HEADER(FlatSourceView)
 public:
  enum : int32_t { kDrawTileBoundariesId = 500, kZDepthId = 501 };

  FlatSourceView();
  ~FlatSourceView() override;

  // 0, not 3000, while the source has nothing to show.
  eAppErr Draw(const KsRef<PanoRenderer>& renderer) override;
  // 0, 1101 outside the image, -102 without a source or projection.
  eAppErr DirectionAtPointDeg(const KsPointF& point, float* pan, float* tilt) override;
  // 0, 1101 outside the image (the point written), -2 for an image above 0,
  // -102 without a source or projection. The pan is used as given.
  eAppErr PointAtDirectionDeg(float pan, float tilt, KsPointF* point, int32_t image) override;

  bool GetDrawTileBoundaries() const { return m_drawTileBoundaries; }
  eAppErr SetDrawTileBoundaries(bool draw);
  float GetZDepth() const { return m_zDepth; }
  eAppErr SetZDepth(float depth);

 private:
  KsRef<PanoProjection> SourceProjection() const;

  float m_zDepth = 1.0f;
  bool m_drawTileBoundaries = false;
  FlatTextureSetDrawing::Cache m_cache;
};
HC_CLASS_OBJECT(FlatSourceView, PanoView)
