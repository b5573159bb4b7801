#pragma once

#include <cstdint>

#include "View/SphereView.h"

class SphereGrid;

// The sphere view as it draws: the pulled-back camera and the sphere grid.
// Known to HcML as "SphereView".
class SphereViewOpenGL : public SphereView {
  HC_CLASS_HEADER(SphereViewOpenGL)
 public:
  enum : int32_t { kLODId = 600 };

  SphereViewOpenGL();
  ~SphereViewOpenGL() override;

  eAppErr Draw(const KsRef<PanoRenderer>& renderer) override;
  float GetSphereRadius() override;

  uint32_t GetLOD() const;
  eAppErr SetLOD(uint32_t lod);
  KsRef<SphereGrid> GetGrid() const;

 private:
  eAppErr SetUpCamera(const KsRef<PanoRenderer>& renderer);

  KsRef<SphereGrid> m_grid;
};
HC_CLASS_OBJECT(SphereViewOpenGL, SphereView)
