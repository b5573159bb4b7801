#include "View/PerspectiveViewOpenGL.h"

#include <cstdio>

#include "Renderer/HcTextureSet.h"
#include "Renderer/PanoRenderer.h"
#include "Source/PanoSource.h"
#include "View/PerspectiveGrid.h"

namespace {

// The eye sits at the mesh's centre: every vertex lies between its radius
// and the radius over cos 45 degrees.
constexpr double kNearPlane = 1.0;
constexpr double kFarPlane = 30.0;

}  // namespace

PerspectiveViewOpenGL::PerspectiveViewOpenGL() : m_grid(KsMakeRef<PerspectiveGrid>()) {}
PerspectiveViewOpenGL::~PerspectiveViewOpenGL() = default;

uint32_t PerspectiveViewOpenGL::GetTextureQuadrantMask() { return PanoProjection::kAllQuadrants; }

float PerspectiveViewOpenGL::GetDrawnVFOV() {
  const float height = GetFrame().h;
  const float v = PerspectiveView::GetDrawnVFOV();
  if (m_overlap > 0 && height > static_cast<float>(m_overlap)) return v / (height - static_cast<float>(m_overlap)) * height;
  return v;
}

uint32_t PerspectiveViewOpenGL::GetLOD() const { return m_grid->GetLOD(); }

eAppErr PerspectiveViewOpenGL::SetLOD(uint32_t lod) {
  const eAppErr err = m_grid->SetLOD(lod);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetLOD");
  return err;
}

eAppErr PerspectiveViewOpenGL::SetDrawLookPosition(bool draw) {
  m_drawLookPosition = draw;
  return AppErr::kNoErr;
}

eAppErr PerspectiveViewOpenGL::SetOverlapPixels(int32_t pixels) {
  m_overlap = pixels;
  return AppErr::kNoErr;
}

KsRef<PerspectiveGrid> PerspectiveViewOpenGL::GetGrid() const { return m_grid; }

eAppErr PerspectiveViewOpenGL::SetUpCamera(const KsRef<PanoRenderer>& renderer) {
  const KsRectF frame = GetFrame();
  const double aspect = frame.h != 0.0f ? static_cast<double>(frame.w) / frame.h : 1.0;
  eAppErr err = renderer->Perspective(GetDrawnVFOV(), aspect, kNearPlane, kFarPlane, true);
  if (!AppErrFailed(err)) err = renderer->ModelViewIdentity();
  if (!AppErrFailed(err)) err = renderer->ModelViewRotate(m_constrainedSkew, 0, 0, 1);
  if (!AppErrFailed(err)) err = renderer->ModelViewRotate(m_constrainedTilt, -1, 0, 0);
  if (!AppErrFailed(err)) err = renderer->ModelViewRotate(GetDrawnPan() + 90.0, 0, 1, 0);
  return err;
}

eAppErr PerspectiveViewOpenGL::Draw(const KsRef<PanoRenderer>& renderer) {
  eAppErr result = PanoView::Draw(renderer);
  if (result == kNotDrawnYet) return result;
  if (AppErrFailed(result)) return KS_TRACE_ERR(result, "Draw");
  result = SetUpCamera(renderer);
  if (AppErrFailed(result)) return KS_TRACE_ERR(result, "Draw");
  renderer->SetColor(1.0f, 1.0f, 1.0f, GetOpacity());
  result = m_grid->DrawGrid(GetTextureQuadrantMask(), renderer, GetSource(), GetTextureSet());
  if (m_drawLookPosition && !AppErrFailed(result)) {
    renderer->Ortho2D(KsRectF(0, 0, 1, 1), true);
    renderer->ModelViewIdentity();
    char text[96];
    std::snprintf(text, sizeof text, "pan=%.2f tilt=%.2f vfov=%.2f", GetDrawnPan(), m_constrainedTilt,
                  GetDrawnVFOV());
    result = renderer->RenderText(0.5f, 0.5f, 1.0f, PWStringRef(text));
  }
  if (AppErrFailed(result)) return KS_TRACE_ERR(result, "Draw");
  return result;
}
