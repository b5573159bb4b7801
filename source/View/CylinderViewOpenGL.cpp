#include "View/CylinderViewOpenGL.h"

#include "Renderer/HcTextureSet.h"
#include "Renderer/PanoRenderer.h"
#include "Source/PanoSource.h"
#include "View/CylinderGrid.h"

CylinderViewOpenGL::CylinderViewOpenGL() : m_grid(KsMakeRef<CylinderGrid>()) {}
CylinderViewOpenGL::~CylinderViewOpenGL() = default;

uint32_t CylinderViewOpenGL::GetLOD() const { return m_grid->GetLOD(); }

eAppErr CylinderViewOpenGL::SetLOD(uint32_t lod) {
  const eAppErr err = m_grid->SetLOD(lod);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetLOD");
  return err;
}

KsRef<CylinderGrid> CylinderViewOpenGL::GetGrid() const { return m_grid; }

eAppErr CylinderViewOpenGL::Draw(const KsRef<PanoRenderer>& renderer) {
  eAppErr result = PanoView::Draw(renderer);
  if (result == kNotDrawnYet) return result;
  if (AppErrFailed(result)) return KS_TRACE_ERR(result, "Draw");
  const KsRectF frame = GetFrame();
  const float aspect = frame.h != 0.0f ? frame.w / frame.h : 1.0f;
  // Half the frame's height in the mesh's degree units: the left edge shows
  // pan P - 180, the right edge P + 180, the top +half and the bottom -half.
  const float half = 180.0f / aspect;
  const float pan = GetDrawnPan();
  result = renderer->Ortho2D(KsRectF(pan - 180.0f, half, 360.0f, -2.0f * half), true);
  if (!AppErrFailed(result)) result = renderer->ModelViewIdentity();
  if (AppErrFailed(result)) return KS_TRACE_ERR(result, "Draw");
  renderer->SetColor(1.0f, 1.0f, 1.0f, GetOpacity());
  result = m_grid->DrawGrid(GetTextureQuadrantMask(), renderer, GetSource(), GetTextureSet());
  if (AppErrFailed(result)) return KS_TRACE_ERR(result, "Draw");
  return result;
}
