#include "Renderer/QTVisualContextTextureSet.h"

#include "Renderer/AppleOpenGLRenderer.h"
#include "Source/SourceErr.h"
#include "platform/playback/VisualContext.h"

using hc::playback::PlaybackErr;
using hc::playback::VisualContext;

QTVisualContextTextureSet::QTVisualContextTextureSet()
    : m_texture(KsMakeRef<QTVisualContextTexture>()), m_lock(PWCriticalRegion::Create()) {}

QTVisualContextTextureSet::~QTVisualContextTextureSet() { ClearDelayQueue(); }

eAppErr QTVisualContextTextureSet::GetTextureForQuadrant(uint32_t, KsRef<HcTexture>& out) {
  out = m_texture;
  if (!m_texture->HasTexture()) return KS_TRACE_ERR(AppErr::kNoImageYet, "GetTextureForQuadrant");
  return AppErr::kNoErr;
}

KsRef<HcTexture> QTVisualContextTextureSet::GetTextureByIndex(uint32_t) { return m_texture; }

// Each half moves on its own: a carry from the frame count never reaches the change count.
uint64_t QTVisualContextTextureSet::GetUpdateSeed() {
  UpdateSeed seed;
  if (KsRef<PanoProjection> projection = GetProjection()) seed = projection->GetUpdateSeed();
  const uint32_t upper = seed.second + GetChangeCount();
  const uint32_t lower = seed.first + GetFrameCount();
  return static_cast<uint64_t>(upper) << 32 | lower;
}

eAppErr QTVisualContextTextureSet::SetProjection(const KsRef<PanoProjection>& projection) {
  if (projection.Get() == GetProjection().Get()) return AppErr::kNoErr;
  HcTextureSet::SetProjection(projection);
  m_changeCount.fetch_add(1, std::memory_order_acq_rel);
  return AppErr::kNoErr;
}

eAppErr QTVisualContextTextureSet::SetVisualContext(std::shared_ptr<VisualContext> context) {
  m_texture->SetProjection(GetProjection());
  std::shared_ptr<VisualContext> previous;
  {
    KsSpinLockGuard guard(m_refsLock);
    previous = std::move(m_visualContext);
    m_visualContext = std::move(context);
  }
  return AppErr::kNoErr;
}

std::shared_ptr<VisualContext> QTVisualContextTextureSet::GetSharedVisualContext() const {
  KsSpinLockGuard guard(m_refsLock);
  return m_visualContext;
}

void* QTVisualContextTextureSet::GetVisualContext() const { return GetSharedVisualContext().get(); }

eAppErr QTVisualContextTextureSet::SetVisualContextPointer(void* context) {
  std::shared_ptr<VisualContext> held;
  if (context) {
    held = static_cast<VisualContext*>(context)->weak_from_this().lock();
    if (!held) return KS_TRACE_ERR(AppErr::kBadArgument, "SetVisualContextPointer");
  }
  return SetVisualContext(std::move(held));
}

eAppErr QTVisualContextTextureSet::SetRenderer(const KsRef<PanoRenderer>& renderer) {
  DidChangeCaller change(this, kRendererId);
  WeakRef::Ref weak = WeakRef::GetWeakRef(renderer.Get());
  KsSpinLockGuard guard(m_refsLock);
  m_renderer = weak;
  return AppErr::kNoErr;
}

KsRef<PanoRenderer> QTVisualContextTextureSet::GetRenderer() const {
  WeakRef::Ref weak;
  {
    KsSpinLockGuard guard(m_refsLock);
    weak = m_renderer;
  }
  return weak ? weak->GetTargetAs<PanoRenderer>() : KsRef<PanoRenderer>();
}

uint32_t QTVisualContextTextureSet::GetFrameDelay() const {
  m_lock->Enter();
  const uint32_t delay = m_frameDelay;
  m_lock->Exit();
  return delay;
}

eAppErr QTVisualContextTextureSet::SetFrameDelay(uint32_t delay) {
  if (delay > kMaxFrameDelay) return KS_TRACE_ERR(AppErr::kBadArgument, "SetFrameDelay");
  DidChangeCaller change(this, kFrameDelayId);
  m_lock->Enter();
  if (delay != m_frameDelay) {
    m_frameDelay = delay;
    ClearDelayQueue();
  }
  m_lock->Exit();
  return AppErr::kNoErr;
}

void QTVisualContextTextureSet::ClearDelayQueue() {
  for (Frame& frame : m_delayQueue) frame.reset();
  m_queueFill = 0;
  m_queueWrites = 0;
}

// The frame due at the display's next output time, or, before the first
// frame, whatever frame is there. Nothing due: no OpenGL work, no allocation.
QTVisualContextTextureSet::Frame QTVisualContextTextureSet::TakeFrame(const KsRef<PanoRenderer>& renderer) {
  std::shared_ptr<VisualContext> context = GetSharedVisualContext();
  if (!context) return nullptr;
  hc::gl::DisplayTimeStamp stamp{};
  const hc::gl::DisplayTimeStamp* at = nullptr;
  if (auto* platform = dynamic_cast<AppleOpenGLRenderer*>(renderer.Get())) {
    stamp = platform->GetDisplayLinkNextOutputTime();
    if (stamp.videoTimeScale != 0) at = &stamp;
  }
  const hc::gl::DisplayTimeStamp* taken = at;
  if (!context->IsNewImageAvailable(at)) {
    if (m_texture->HasTexture() || !context->IsNewImageAvailable(nullptr)) return nullptr;
    taken = nullptr;
  }
  Frame frame;
  const PlaybackErr copied = context->CopyImageForTime(taken, &frame);
  if (copied != PlaybackErr::Ok) {
    KS_TRACE(KsTrace::kWarning, "Taking the frame failed (%s)", hc::playback::PlaybackErrName(copied));
    return nullptr;
  }
  return frame;
}

// With a delay of d, every refresh passes through d slots, so a frame is
// shown d refreshes after it was taken and nothing new shows while they fill.
QTVisualContextTextureSet::Frame QTVisualContextTextureSet::PassThroughDelay(Frame taken) {
  if (m_frameDelay == 0) return taken;
  if (m_queueFill < m_frameDelay) ++m_queueFill;
  const uint32_t slot = m_queueWrites % m_queueFill;
  ++m_queueWrites;
  std::swap(taken, m_delayQueue[slot]);
  return taken;
}

eAppErr QTVisualContextTextureSet::UpdateForRenderer(const KsRef<PanoRenderer>& renderer) {
  m_lock->Enter();
  Frame shown = PassThroughDelay(TakeFrame(renderer));
  if (shown) {
    if (m_texture->HasTexture()) {
      m_frameCount.fetch_add(1, std::memory_order_acq_rel);
    } else {
      m_changeCount.fetch_add(1, std::memory_order_acq_rel);
    }
    if (auto* drawing = dynamic_cast<OpenGLRenderer*>(renderer.Get())) {
      m_texture->SetRenderer(KsRef<OpenGLRenderer>(drawing));
    }
    m_texture->SetCVTexture(std::move(shown));
    m_texture->SetProjection(GetProjection());
  }
  m_lock->Exit();
  return AppErr::kNoErr;
}
