#include "Renderer/QTVisualContextTextureSet.h"

#include "Renderer/AppleOpenGLRenderer.h"
#include "Source/SourceErr.h"
#include "platform/playback/VideoTexture.h"
#include "platform/playback/VisualContext.h"

QTVisualContextTextureSet::QTVisualContextTextureSet() : m_texture(KsMakeRef<QTVisualContextTexture>()) {}

QTVisualContextTextureSet::~QTVisualContextTextureSet() {
  for (Frame& frame : m_delayQueue) frame.reset();
  m_context.reset();
}

eAppErr QTVisualContextTextureSet::SetProjection(const KsRef<PanoProjection>& projection) {
  if (projection == GetProjection()) return AppErr::kNoErr;
  HcTextureSet::SetProjection(projection);
  std::lock_guard lock(m_lock);
  ++m_changeCount;
  return AppErr::kNoErr;
}

eAppErr QTVisualContextTextureSet::SetVisualContext(std::shared_ptr<hc::playback::VisualContext> context) {
  m_texture->SetProjection(GetProjection());
  std::lock_guard lock(m_lock);
  m_context = std::move(context);
  return AppErr::kNoErr;
}

std::shared_ptr<hc::playback::VisualContext> QTVisualContextTextureSet::GetVisualContext() const {
  std::lock_guard lock(m_lock);
  return m_context;
}

void* QTVisualContextTextureSet::GetVisualContextPointer() const { return GetVisualContext().get(); }

eAppErr QTVisualContextTextureSet::SetRenderer(const KsRef<PanoRenderer>& renderer) {
  DidChangeCaller change(this, kRendererId);
  m_renderer = WeakRef::GetWeakRef(renderer.Get());
  return AppErr::kNoErr;
}

KsRef<PanoRenderer> QTVisualContextTextureSet::GetRenderer() const {
  return m_renderer ? m_renderer->GetTargetAs<PanoRenderer>() : KsRef<PanoRenderer>();
}

uint32_t QTVisualContextTextureSet::GetFrameDelay() const {
  std::lock_guard lock(m_lock);
  return m_frameDelay;
}

eAppErr QTVisualContextTextureSet::SetFrameDelay(uint32_t delay) {
  if (delay > kMaxFrameDelay) return KS_TRACE_ERR(AppErr::kBadArgument, "SetFrameDelay");
  DidChangeCaller change(this, kFrameDelayId);
  std::lock_guard lock(m_lock);
  if (delay != m_frameDelay) {
    m_frameDelay = delay;
    for (Frame& frame : m_delayQueue) frame.reset();
    m_queueFill = 0;
    m_queueWrites = 0;
  }
  return AppErr::kNoErr;
}

eAppErr QTVisualContextTextureSet::GetTextureForQuadrant(uint32_t, KsRef<HcTexture>& out) {
  out = m_texture;
  return m_texture->HasTexture() ? AppErr::kNoErr : AppErr::kNoImageYet;
}

KsRef<HcTexture> QTVisualContextTextureSet::GetTextureByIndex(uint32_t) { return m_texture; }

uint64_t QTVisualContextTextureSet::GetUpdateSeed() {
  UpdateSeed seed;
  if (KsRef<PanoProjection> projection = GetProjection()) seed = projection->GetUpdateSeed();
  std::lock_guard lock(m_lock);
  return static_cast<uint64_t>(seed.second + m_changeCount) << 32 | static_cast<uint32_t>(seed.first + m_frameCount);
}

QTVisualContextTextureSet::Frame QTVisualContextTextureSet::PassThroughDelay(Frame taken) {
  if (m_frameDelay == 0) return taken;
  if (m_queueFill < m_frameDelay) ++m_queueFill;
  const uint32_t slot = m_queueWrites % m_queueFill;
  ++m_queueWrites;
  Frame shown = std::move(m_delayQueue[slot]);
  m_delayQueue[slot] = std::move(taken);
  return shown;
}

eAppErr QTVisualContextTextureSet::UpdateForRenderer(const KsRef<PanoRenderer>& renderer) {
  hc::gl::DisplayTimeStamp stamp{};
  if (auto apple = renderer.DynamicCast<AppleOpenGLRenderer>()) stamp = apple->GetDisplayLinkNextOutputTime();
  const hc::gl::DisplayTimeStamp* time = stamp.videoTimeScale != 0 ? &stamp : nullptr;

  std::lock_guard lock(m_lock);
  Frame taken;
  if (m_context) {
    if (m_context->IsNewImageAvailable(time)) {
      m_context->CopyImageForTime(time, &taken);
    } else if (!m_texture->HasTexture() && m_context->IsNewImageAvailable(nullptr)) {
      m_context->CopyImageForTime(nullptr, &taken);
    }
  }
  Frame shown = PassThroughDelay(std::move(taken));
  if (shown) {
    if (m_texture->HasTexture()) {
      ++m_frameCount;
    } else {
      ++m_changeCount;
    }
    m_texture->SetCVTexture(std::move(shown));
    m_texture->SetProjection(GetProjection());
  }
  return AppErr::kNoErr;
}
