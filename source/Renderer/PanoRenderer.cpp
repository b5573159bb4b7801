#include "Renderer/PanoRenderer.h"

#include <cmath>

#include "Source/PixelFormatInfo.h"

PanoRenderer::PanoRenderer() : m_drawLock(PWCriticalRegion::Create()) { SetDrawableRect(0, 0, 1, 1); }

PanoRenderer::~PanoRenderer() { m_drawLock = nullptr; }

eAppErr PanoRenderer::InitializeState() { return AppErr::kNoErr; }

eAppErr PanoRenderer::BeginUpdate() {
  m_drawLock->Enter();
  ++m_openFrames;
  DidChangeCaller change(this, kUpdateCycleId);
  m_updateCycle.fetch_add(1, std::memory_order_acq_rel);
  return AppErr::kNoErr;
}

eAppErr PanoRenderer::EndUpdate() {
  // An EndUpdate without an open frame (its BeginUpdate failed and already
  // left the lock) must not release a hold taken for something else.
  if (m_openFrames <= 0) return AppErr::kNoErr;
  --m_openFrames;
  m_drawLock->Exit();
  return AppErr::kNoErr;
}

eAppErr PanoRenderer::SetDrawableRect(int32_t x, int32_t y, int32_t width, int32_t height) {
  m_drawableRect = KsRect<int32_t>(KsPoint<int32_t>{x, y}, KsSize<int32_t>{width, height});
  return AppErr::kNoErr;
}

eAppErr PanoRenderer::GetDrawableSize(int32_t* width, int32_t* height) {
  if (width) *width = m_drawableRect.w;
  if (height) *height = m_drawableRect.h;
  return AppErr::kNoErr;
}

const uint32_t* PanoRenderer::GetSupportedPixelFormats() {
  static const uint32_t kFormats[] = {PixelFormatInfo::k32ARGB, 0};
  return kFormats;
}

eAppErr PanoRenderer::RenderText(float, float, float, const PWStringRef&) { return AppErr::kNoErr; }

int32_t PanoRenderer::DepthFuncForCompare(int32_t compare) {
  static constexpr int32_t kFuncs[] = {0, 1, 2, 3, 7, 5, 4, 6};
  if (compare < 0 || compare > 7) return -1;
  return kFuncs[compare];
}

eAppErr PanoRenderer::SetBackgroundColor(const KsColorF& color) {
  DidChangeCaller change(this, kBackgroundColorId);
  m_backgroundColor = color;
  return AppErr::kNoErr;
}

eAppErr PanoRenderer::SetPixelAspectRatio(float ratio) {
  DidChangeCaller change(this, kPixelAspectRatioId);
  m_pixelAspectRatio = ratio;
  return AppErr::kNoErr;
}

eAppErr PanoRenderer::SetIsDirty(bool dirty) {
  DidChangeCaller change(this, kIsDirtyId);
  m_isDirty.store(dirty, std::memory_order_release);
  return AppErr::kNoErr;
}

void PanoRenderer::AcquireDrawLock() { m_drawLock->Enter(); }
void PanoRenderer::ReleaseDrawLock() { m_drawLock->Exit(); }

RendererUpdateScope::RendererUpdateScope(const KsRef<PanoRenderer>& renderer)
    : m_renderer(renderer), m_result(renderer ? renderer->BeginUpdate() : AppErr::kBadArgument) {}

RendererUpdateScope::~RendererUpdateScope() {
  if (m_renderer && !AppErrFailed(m_result)) m_renderer->EndUpdate();
}
