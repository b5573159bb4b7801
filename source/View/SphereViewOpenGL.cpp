#include "View/SphereViewOpenGL.h"

#include "Renderer/HcTextureSet.h"
#include "Renderer/PanoRenderer.h"
#include "Source/PanoSource.h"
#include "View/SphereGrid.h"

namespace {

// Renderer codes.
constexpr int32_t kDepthAlways = 6;
constexpr int32_t kDepthLessOrEqual = 2;
constexpr int32_t kBlendAlpha = 0;
constexpr int32_t kCullNone = 0;
constexpr int32_t kCullBack = 2;

}  // namespace

SphereViewOpenGL::SphereViewOpenGL() : m_grid(KsMakeRef<SphereGrid>()) {}
SphereViewOpenGL::~SphereViewOpenGL() = default;

uint32_t SphereViewOpenGL::GetLOD() const { return m_grid->GetLOD(); }

eAppErr SphereViewOpenGL::SetLOD(uint32_t lod) {
  const eAppErr err = m_grid->SetLOD(lod);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetLOD");
  return err;
}

KsRef<SphereGrid> SphereViewOpenGL::GetGrid() const { return m_grid; }

float SphereViewOpenGL::GetSphereRadius() { return m_grid->GetRadius(); }

eAppErr SphereViewOpenGL::SetUpCamera(const KsRef<PanoRenderer>& renderer) {
  const KsRectF frame = GetFrame();
  const double aspect = frame.h != 0.0f ? static_cast<double>(frame.w) / frame.h : 1.0;
  const float offset = GetRadialOffset();
  const float radius = GetSphereRadius();
  eAppErr err = renderer->Perspective(GetCameraVFOV(), aspect, 0.10000000149011612,
                                      (1.0 - 2.0 * offset) * radius, true);
  if (!AppErrFailed(err)) err = renderer->ModelViewIdentity();
  if (!AppErrFailed(err)) err = renderer->ModelViewTranslate(0.0f, 0.0f, offset * radius);
  if (!AppErrFailed(err)) err = renderer->ModelViewRotate(m_constrainedSkew, 0, 0, 1);
  if (!AppErrFailed(err)) err = renderer->ModelViewRotate(m_constrainedTilt, -1, 0, 0);
  if (!AppErrFailed(err)) err = renderer->ModelViewRotate(GetDrawnPan() + 90.0, 0, 1, 0);
  return err;
}

eAppErr SphereViewOpenGL::Draw(const KsRef<PanoRenderer>& renderer) {
  eAppErr result = PanoView::Draw(renderer);
  if (result == kNotDrawnYet) return result;
  if (AppErrFailed(result)) return KS_TRACE_ERR(result, "Draw");
  result = SetUpCamera(renderer);
  if (AppErrFailed(result)) return KS_TRACE_ERR(result, "Draw");
  const float opacity = GetOpacity();
  renderer->SetColor(1.0f, 1.0f, 1.0f, opacity);
  renderer->SetDepthFunc(kDepthAlways);
  renderer->SetBlendFunc(kBlendAlpha);
  renderer->SetCullFunc(opacity == 1.0f ? kCullBack : kCullNone);
  result = m_grid->DrawGrid(GetTextureQuadrantMask(), renderer, GetSource(), GetTextureSet());
  renderer->SetCullFunc(kCullBack);
  renderer->SetBlendFunc(kBlendAlpha);
  renderer->SetDepthFunc(kDepthLessOrEqual);
  if (AppErrFailed(result)) return KS_TRACE_ERR(result, "Draw");
  return result;
}
