#include "Source/QTVisualContextSource.h"

#include "Renderer/AppleOpenGLRenderer.h"
#include "Renderer/QTVisualContextTextureSet.h"
#include "Source/SourceErr.h"
#include "Source/VisualContextDisposal.h"
#include "platform/playback/VisualContext.h"

QTVisualContextSource::QTVisualContextSource() = default;

QTVisualContextSource::~QTVisualContextSource() {
  std::shared_ptr<hc::playback::VisualContext> context = GetVisualContext();
  if (context) context->SetImageAvailableCallback(nullptr);
  m_textureSet = nullptr;
}

// On a decode thread: flags only.
void QTVisualContextSource::ImageAvailable() {
  SetDataFlag(true);
  IncrementFrameCount();
  if (KsRef<PanoRenderer> renderer = GetRenderer()) renderer->RaiseDirtyFlag();
}

std::shared_ptr<hc::playback::VisualContext> QTVisualContextSource::GetVisualContext() const {
  std::lock_guard lock(m_mutex);
  return m_context;
}

void* QTVisualContextSource::GetVisualContextPtr() const { return GetVisualContext().get(); }

KsRef<QTVisualContextTextureSet> QTVisualContextSource::GetVCTextureSet() const {
  std::lock_guard lock(m_mutex);
  return m_textureSet;
}

eAppErr QTVisualContextSource::SetVisualContextPtr(void* context) {
  auto* raw = static_cast<hc::playback::VisualContext*>(context);
  return SetVisualContext(raw ? std::shared_ptr<hc::playback::VisualContext>(raw, [](hc::playback::VisualContext*) {})
                              : nullptr);
}

eAppErr QTVisualContextSource::SetVisualContext(std::shared_ptr<hc::playback::VisualContext> context) {
  DidChangeCaller change(this, kVisualContextPtrId);
  std::shared_ptr<hc::playback::VisualContext> previous;
  KsRef<QTVisualContextTextureSet> set;
  {
    std::lock_guard lock(m_mutex);
    previous = std::move(m_context);
    m_context = context;
    set = m_textureSet;
  }
  if (previous && previous != context) previous->SetImageAvailableCallback(nullptr);
  if (set) set->SetVisualContext(context);
  if (context) context->SetImageAvailableCallback([this](const hc::gl::DisplayTimeStamp&) { ImageAvailable(); });
  return AppErr::kNoErr;
}

KsRef<PanoRenderer> QTVisualContextSource::GetRendererForVisualContext() const {
  std::lock_guard lock(m_mutex);
  return m_rendererForContext ? m_rendererForContext->GetTargetAs<PanoRenderer>() : KsRef<PanoRenderer>();
}

eAppErr QTVisualContextSource::SetRendererForVisualContext(const KsRef<PanoRenderer>& renderer) {
  {
    DidChangeCaller change(this, kRendererForVisualContextId);
    WeakRef::Ref weak = WeakRef::GetWeakRef(renderer.Get());
    std::lock_guard lock(m_mutex);
    m_rendererForContext = weak;
  }
  MakeVisualContext(GetRendererForVisualContext());
  return AppErr::kNoErr;
}

bool QTVisualContextSource::MakeVisualContext(const KsRef<PanoRenderer>& renderer) {
  auto apple = renderer.DynamicCast<AppleOpenGLRenderer>();
  if (!apple) return false;
  std::unique_ptr<hc::playback::VisualContext> made;
  const hc::playback::PlaybackErr err =
      hc::playback::VisualContext::Create(apple->GetGlContext(), hc::playback::VisualContext::Options{}, &made);
  if (err != hc::playback::PlaybackErr::Ok) {
    KS_TRACE(KsTrace::kError, "Failed creating QTOpenGLTextureContext (%d).", hc::playback::PlaybackErrCode(err));
    return false;
  }
  SetVisualContext(VisualContextDisposal::Share(std::move(made), apple->GetGlContext()));
  return true;
}

eAppErr QTVisualContextSource::GetDataAtPoint(int32_t, int32_t, uint32_t, float*) { return AppErr::kNoImageYet; }

eAppErr QTVisualContextSource::FinishedDrawCycle() {
  VisualContextDisposal::DisposeRetired();
  if (std::shared_ptr<hc::playback::VisualContext> context = GetVisualContext()) context->Task();
  return AppErr::kNoErr;
}

eAppErr QTVisualContextSource::TextureSetForRenderer(const KsRef<PanoRenderer>& renderer, KsRef<HcTextureSet>& set,
                                                     uint32_t) {
  VisualContextDisposal::DisposeRetired();
  KsRef<QTVisualContextTextureSet> current = GetVCTextureSet();
  if (current) {
    if (!GetProjection()) return KS_TRACE_ERR(AppErr::kNotReady, "TextureSetForRenderer");
    if (current->GetProjection() != GetProjection()) {
      KS_TRACE(KsTrace::kVerbose, "Throwing away old texture set");
      current = nullptr;
    }
  }
  if (!current) {
    current = KsMakeRef<QTVisualContextTextureSet>();
    current->SetProjection(GetProjection());
    current->SetVisualContext(GetVisualContext());
    current->SetRenderer(renderer.DynamicCast<AppleOpenGLRenderer>());
    std::lock_guard lock(m_mutex);
    m_textureSet = current;
  }
  if (!GetDataFlag() || !GetHasDimensions()) {
    KsRef<HcTexture> texture;
    if (current->GetTextureForQuadrant(0, texture) == AppErr::kNoErr && texture) {
      SetDataFlag(true);
      if (!GetHasDimensions()) {
        KsPointF range;
        texture->GetFullCoordRange(&range);
        SetDimensions(static_cast<int32_t>(range.x), static_cast<int32_t>(range.y));
      }
    }
  }
  set = current;
  return AppErr::kNoErr;
}
