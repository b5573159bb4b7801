#include "Source/PanoSource.h"

#include <cmath>

#include "Projection/PlanarProjection.h"
#include "Renderer/PanoRenderer.h"
#include "Renderer/PixelFormatArbiter.h"
#include "Source/SourceErr.h"

namespace {
std::atomic<bool> g_defaultMapFullFrame{false};
}  // namespace

PanoSource::PanoSource() : m_mapFullFrame(g_defaultMapFullFrame.load(std::memory_order_relaxed)) {}

PanoSource::~PanoSource() {
  m_renderer = nullptr;
  m_tweens = nullptr;
  m_clock = nullptr;
  m_arbiter = nullptr;
  m_projection = nullptr;
}

eAppErr PanoSource::SetDefaultMapFullFrame(bool mapFullFrame) {
  g_defaultMapFullFrame.store(mapFullFrame, std::memory_order_relaxed);
  return AppErr::kNoErr;
}

bool PanoSource::GetDefaultMapFullFrame() { return g_defaultMapFullFrame.load(std::memory_order_relaxed); }

KsRef<KsObject> PanoSource::GetClock() { return m_clock; }

eAppErr PanoSource::SetClock(const KsRef<KsObject>& clock) {
  DidChangeCaller change(this, kClockId);
  m_clock = clock;
  return AppErr::kNoErr;
}

eAppErr PanoSource::SetRenderer(const KsRef<PanoRenderer>& renderer) {
  DidChangeCaller change(this, kRendererId);
  WeakRef::Ref weak = WeakRef::GetWeakRef(renderer.Get());
  KsSpinLockGuard guard(m_rendererLock);
  m_renderer.Assign(weak.Get());
  return AppErr::kNoErr;
}

KsRef<PanoRenderer> PanoSource::GetRenderer() const {
  WeakRef::Ref weak;
  {
    KsSpinLockGuard guard(m_rendererLock);
    weak = m_renderer;
  }
  return weak ? weak->GetTargetAs<PanoRenderer>() : KsRef<PanoRenderer>();
}

void PanoSource::MarkRendererDirty() {
  if (KsRef<PanoRenderer> renderer = GetRenderer()) renderer->SetIsDirty(true);
}

bool PanoSource::GetHasAlpha() { return m_hasAlpha; }

eAppErr PanoSource::SetHasAlpha(bool hasAlpha) {
  if (m_pixelFormat.load(std::memory_order_acquire)) {
    KS_TRACE(KsTrace::kError, "HasAlpha set after pixel format already set!");
    return KS_TRACE_ERR(AppErr::kNotReady, "SetHasAlpha");
  }
  m_hasAlpha = hasAlpha;
  return AppErr::kNoErr;
}

bool PanoSource::GetHasDimensions() {
  return GetWidth() != 0 && GetHeight() != 0 && m_hasDimensions.load(std::memory_order_acquire);
}

bool PanoSource::GetHasData() { return GetHasDimensions() && GetDataFlag(); }

int32_t PanoSource::GetWidth() { return m_hasDimensions.load(std::memory_order_acquire) ? StoredWidth() : 0; }
int32_t PanoSource::GetHeight() { return m_hasDimensions.load(std::memory_order_acquire) ? StoredHeight() : 0; }

float PanoSource::GetImageAspect() {
  if (!GetHasDimensions()) return 1.0f;
  return static_cast<float>(StoredWidth()) / (static_cast<float>(StoredHeight()) * GetPixelAspectRatio());
}

bool PanoSource::GetMapFullFrame() { return m_mapFullFrame; }

eAppErr PanoSource::SetMapFullFrame(bool mapFullFrame) {
  DidChangeCaller change(this, kMapFullFrameId);
  m_mapFullFrame = mapFullFrame;
  return AppErr::kNoErr;
}

float PanoSource::GetPanAngle() { return m_panAngle; }

eAppErr PanoSource::SetPanAngle(float degrees) {
  DidChangeCaller change(this, kPanAngleId);
  m_panAngle = degrees;
  return AppErr::kNoErr;
}

float PanoSource::GetPixelAspectRatio() { return m_pixelAspectRatio; }

eAppErr PanoSource::SetPixelAspectRatio(float ratio) {
  if (!std::isfinite(ratio) || ratio <= 0.0f) return KS_TRACE_ERR(AppErr::kBadArgument, "SetPixelAspectRatio");
  m_pixelAspectRatio = ratio;
  return AppErr::kNoErr;
}

KsRef<PanoProjection> PanoSource::GetProjection() { return m_projection; }

void PanoSource::WillSetProjection(const KsRef<PanoProjection>&, const KsRef<PanoProjection>&) {}

eAppErr PanoSource::SetProjection(const KsRef<PanoProjection>& projection) {
  WillSetProjection(m_projection, projection);
  m_projection = projection;
  if (m_projection && m_hasDimensions.load(std::memory_order_acquire)) {
    m_projection->SetImageAspect(GetImageAspect());
  }
  m_projectionChangeCount.fetch_add(1, std::memory_order_acq_rel);
  return AppErr::kNoErr;
}

bool PanoSource::GetIsPlanarSource() {
  return static_cast<bool>(GetProjection().DynamicCast<PlanarProjection>());
}

eAppErr PanoSource::FinishedDrawCycle() { return AppErr::kNoErr; }

void PanoSource::SetDimensions(int32_t width, int32_t height) {
  m_width.store(width, std::memory_order_release);
  m_height.store(height, std::memory_order_release);
  m_hasDimensions.store(width != 0 && height != 0, std::memory_order_release);
  SetProjection(m_projection);
}

eAppErr PanoSource::Update() {
  const eAppErr err = DoUpdate();
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "Update");
  return err;
}

KsRef<PixelFormatArbiter> PanoSource::GetPixelFormatArbiter() {
  if (!m_arbiter) m_arbiter = KsMakeRef<PixelFormatArbiter>();
  m_arbiter->SetSource(KsRef<PanoSource>(this));
  if (KsRef<PanoRenderer> renderer = GetRenderer()) m_arbiter->SetRenderer(renderer);
  return m_arbiter;
}

eAppErr PanoSource::SetPixelFormat(uint32_t code) {
  if (const PixelFormatInfo* chosen = m_pixelFormat.load(std::memory_order_acquire)) {
    if (chosen->code == code) return AppErr::kNoErr;
    return KS_TRACE_ERR(AppErr::kNotReady, "SetPixelFormat");
  }
  const PixelFormatInfo* info = FindPixelFormatInfo(code);
  if (!info) return KS_TRACE_ERR(AppErr::kPixelFormat, "SetPixelFormat");
  if (GetHasAlpha() && info->IsYUV()) return KS_TRACE_ERR(AppErr::kPixelFormat, "SetPixelFormat");
  m_pixelFormat.store(info, std::memory_order_release);
  return AppErr::kNoErr;
}

uint32_t PanoSource::GetPixelFormat() {
  if (const PixelFormatInfo* chosen = m_pixelFormat.load(std::memory_order_acquire)) return chosen->code;
  SetPixelFormat(GetPixelFormatArbiter()->GetSourcePixelFormat());
  const PixelFormatInfo* chosen = m_pixelFormat.load(std::memory_order_acquire);
  if (!chosen) {
    KS_TRACE(KsTrace::kError, "GetPixelFormat couldn't choose a format!");
    return 0;
  }
  return chosen->code;
}

const PixelFormatInfo* PanoSource::GetPixelFormatInfo() {
  if (!m_pixelFormat.load(std::memory_order_acquire)) GetPixelFormat();
  return m_pixelFormat.load(std::memory_order_acquire);
}

KsRef<KsObject> PanoSource::GetTweens() const { return m_tweens; }

eAppErr PanoSource::SetTweens(const KsRef<KsObject>& tweens) {
  DidChangeCaller change(this, kTweensId);
  m_tweens = tweens;
  return AppErr::kNoErr;
}
