#pragma once

#include <cstdint>

#include "View/CylinderView.h"

class CylinderGrid;

// The cylinder view as it draws: an orthographic projection over the turn
// around the view's pan and the cylinder grid, three copies side by side.
// Known to HcML as "CylinderView".
class CylinderViewOpenGL : public CylinderView {
  HC_CLASS_HEADER(CylinderViewOpenGL)
 public:
  enum : int32_t { kLODId = 600 };

  CylinderViewOpenGL();
  ~CylinderViewOpenGL() override;

  eAppErr Draw(const KsRef<PanoRenderer>& renderer) override;

  uint32_t GetLOD() const;
  eAppErr SetLOD(uint32_t lod);
  KsRef<CylinderGrid> GetGrid() const;

 private:
  KsRef<CylinderGrid> m_grid;
};
HC_CLASS_OBJECT(CylinderViewOpenGL, CylinderView)
