#pragma once

#include <cstdint>

#include "View/PerspectiveView.h"

class PerspectiveGrid;

// The perspective view as it draws: a perspective projection and a rotation
// from the look direction, then the perspective grid textured with the
// source's current frame. Known to HcML as "PerspectiveView".
class PerspectiveViewOpenGL : public PerspectiveView {
  HC_CLASS_HEADER(PerspectiveViewOpenGL)
 public:
  enum : int32_t { kLODId = 600, kDrawLookPositionId = 601, kOverlapPixelsId = 602 };

  PerspectiveViewOpenGL();
  ~PerspectiveViewOpenGL() override;

  eAppErr Draw(const KsRef<PanoRenderer>& renderer) override;
  uint32_t GetTextureQuadrantMask() override;
  // The field of view widened by the overlap: V h / (h - overlap).
  float GetDrawnVFOV() override;

  uint32_t GetLOD() const;
  eAppErr SetLOD(uint32_t lod);
  bool GetDrawLookPosition() const { return m_drawLookPosition; }
  eAppErr SetDrawLookPosition(bool draw);
  int32_t GetOverlapPixels() const { return m_overlap; }
  eAppErr SetOverlapPixels(int32_t pixels);
  KsRef<PerspectiveGrid> GetGrid() const;

 private:
  eAppErr SetUpCamera(const KsRef<PanoRenderer>& renderer);

  KsRef<PerspectiveGrid> m_grid;
  int32_t m_overlap = 0;
  bool m_drawLookPosition = false;
};
HC_CLASS_OBJECT(PerspectiveViewOpenGL, PerspectiveView)
