#include "InterfaceCommon/HcViewHelper.h"

#include <cmath>

#include "General/HcClassMap.h"
#include "InterfaceCommon/HcContextHelper.h"
#include "Renderer/HcSharedGraphicsContext.h"
#include "Renderer/HcTextureSet.h"
#include "Renderer/PanoRenderer.h"
#include "Responder/MouseResponder.h"
#include "Source/PanoSource.h"
#include "Source/SourceCollection.h"
#include "View/HcTexturedView.h"
#include "View/HcView.h"
#include "View/LayoutRegion.h"
#include "View/LayoutRegionCollection.h"
#include "View/LayoutView.h"
#include "View/ViewCollection.h"

namespace {

// Every quadrant of a source's frame.
constexpr uint32_t kAllQuadrants = 15;
// Bounds the walk of the view tree: layouts nest only a few levels deep.
constexpr int kMaxLayoutDepth = 64;
// A frame read from a presentation is untrusted: no drawing surface is
// larger than this along either side, nor placed further out.
constexpr float kMaxFrameExtent = 32768.0f;
constexpr float kMaxFrameOrigin = 1.0e6f;

bool IsUsableFrame(const KsRectF& frame) {
  for (float value : {frame.x, frame.y, frame.w, frame.h}) {
    if (!std::isfinite(value)) return false;
  }
  return std::fabs(frame.x) <= kMaxFrameOrigin && std::fabs(frame.y) <= kMaxFrameOrigin && frame.w >= 0.0f &&
         frame.h >= 0.0f && frame.w <= kMaxFrameExtent && frame.h <= kMaxFrameExtent;
}

void CollectSource(const KsRef<SourceCollection>& sources, const KsRef<PanoSource>& source) {
  if (!source) return;
  for (uint32_t i = 0; i < sources->GetCount(); ++i) {
    if (sources->GetByIndex(i) == source) return;
  }
  sources->Add(source);
}

void CollectSourcesOfView(const KsRef<SourceCollection>& sources, const KsRef<HcView>& view, int depth) {
  if (!view || depth > kMaxLayoutDepth) return;
  if (KsRef<LayoutView> layout = view.DynamicCast<LayoutView>()) {
    KsRef<LayoutRegionCollection> regions = layout->GetRegions();
    for (uint32_t r = 0; regions && r < regions->GetCount(); ++r) {
      KsRef<LayoutRegion> region = regions->GetByIndex(r);
      KsRef<ViewCollection> views = region ? region->GetViews() : KsRef<ViewCollection>();
      for (uint32_t v = 0; views && v < views->GetCount(); ++v) {
        CollectSourcesOfView(sources, views->GetByIndex(v), depth + 1);
      }
    }
  } else if (KsRef<HcTexturedView> textured = view.DynamicCast<HcTexturedView>()) {
    CollectSource(sources, textured->GetSource());
  }
}

}  // namespace

HcViewHelper::HcViewHelper() = default;

HcViewHelper::~HcViewHelper() { HcViewHelper::ReleaseGLResources(); }

eAppErr HcViewHelper::SetActive(bool active) {
  if (active == m_active) return AppErr::kNoErr;
  if (!active) return KS_TRACE_ERR(AppErr::kUnsupportedType, "SetActive");
  if (!m_renderer) {
    const eAppErr made = MakeDefaultRenderer();
    if (AppErrFailed(made)) return KS_TRACE_ERR(made, "SetActive");
    Resize(m_pixelFrame.x, m_pixelFrame.y, m_pixelFrame.w, m_pixelFrame.h);
  }
  KsRef<HcContextHelper> context = GetContext();
  if (context && m_renderer && !context->GetRenderer()) {
    const eAppErr handed = context->SetRenderer(m_renderer);
    if (AppErrFailed(handed)) return KS_TRACE_ERR(handed, "SetActive");
  }
  m_active = true;
  return AppErr::kNoErr;
}

KsRef<HcContextHelper> HcViewHelper::GetContext() const {
  return m_context ? m_context->GetTargetAs<HcContextHelper>() : KsRef<HcContextHelper>();
}

eAppErr HcViewHelper::SetContext(const KsRef<HcContextHelper>& context) {
  m_context = context ? WeakRef::GetWeakRef(context.Get()) : WeakRef::Ref();
  if (context) {
    if (KsRef<PanoRenderer> renderer = context->GetRenderer()) return SetRenderer(renderer);
  }
  return AppErr::kNoErr;
}

eAppErr HcViewHelper::SetFrame(const KsRectF& frame) {
  if (!IsUsableFrame(frame)) return KS_TRACE_ERR(AppErr::kBadArgument, "SetFrame");
  const float x0 = std::floor(frame.x);
  const float y0 = std::floor(frame.y);
  const auto width = static_cast<int32_t>(std::ceil(frame.w + (frame.x - x0)));
  const auto height = static_cast<int32_t>(std::ceil(frame.h + (frame.y - y0)));
  const eAppErr err = Resize(static_cast<int32_t>(x0), static_cast<int32_t>(y0), width, height);
  // Resize stores the whole-pixel frame; the float one given here is kept.
  m_frame = frame;
  return err;
}

eAppErr HcViewHelper::SetRenderer(const KsRef<PanoRenderer>& renderer) {
  if (renderer != m_renderer) m_renderer = renderer;
  if (!m_active) return AppErr::kNoErr;
  KsRef<HcContextHelper> context = GetContext();
  if (context && context->GetRenderer() != m_renderer) return context->SetRenderer(m_renderer);
  return AppErr::kNoErr;
}

KsRef<HcSharedGraphicsContext> HcViewHelper::GetSharedGraphicsContext() const { return m_sharedGraphicsContext; }

eAppErr HcViewHelper::SetSharedGraphicsContext(const KsRef<HcSharedGraphicsContext>& context) {
  DidChangeCaller change(this, kSharedGraphicsContextId);
  m_sharedGraphicsContext = context;
  return AppErr::kNoErr;
}

eAppErr HcViewHelper::SetSourceCollection(const KsRef<SourceCollection>& sources) {
  DidChangeCaller change(this, kSourceCollectionId);
  m_sources = sources;
  return AppErr::kNoErr;
}

eAppErr HcViewHelper::MakeDefaultRenderer() {
  KsRef<PanoRenderer> renderer = MakeObject<PanoRenderer>(PWStringRef(kDefaultRendererName));
  if (!renderer) return KS_TRACE_ERR(AppErr::kNotFound, "MakeDefaultRenderer");
  return SetRenderer(renderer);
}

eAppErr HcViewHelper::Draw() {
  KsRef<HcContextHelper> context = GetContext();
  KsRef<PanoRenderer> renderer = m_renderer;
  if (!renderer || !context) return kNoSurface;
  GatherSources();
  RendererUpdateScope update(renderer);
  if (AppErrFailed(update.Result())) return update.Result();
  KsRef<HcView> root = context->GetRootView();
  if (root && !root->GetHidden()) return root->Draw(renderer);
  return AppErr::kNoErr;
}

eAppErr HcViewHelper::GatherSources() {
  KsRef<HcContextHelper> context = GetContext();
  KsRef<PanoRenderer> renderer = m_renderer;
  if (!context || !renderer) return KS_TRACE_ERR(AppErr::kNotReady, "GatherSources");
  auto sources = KsMakeRef<SourceCollection>();
  SetSourceCollection(sources);
  CollectSourcesOfView(sources, context->GetRootView(), 0);
  for (uint32_t i = 0; i < sources->GetCount(); ++i) {
    KsRef<PanoSource> source = sources->GetByIndex(i);
    KsRef<HcTextureSet> set;
    if (source && !AppErrFailed(source->TextureSetForRenderer(renderer, set, kAllQuadrants)) && set) {
      set->UpdateForRenderer(renderer);
    }
  }
  return AppErr::kNoErr;
}

eAppErr HcViewHelper::Resize(int32_t x, int32_t y, int32_t width, int32_t height) {
  m_pixelFrame = KsRect<int32_t>(x, y, width, height);
  m_frame = KsRectF(static_cast<float>(x), static_cast<float>(y), static_cast<float>(width),
                    static_cast<float>(height));
  eAppErr result = AppErr::kNoErr;
  if (m_renderer) {
    result = m_renderer->SetDrawableRect(x, y, width, height);
    if (AppErrFailed(result)) return KS_TRACE_ERR(result, "Resize");
  }
  KsRef<HcContextHelper> context = GetContext();
  KsRef<HcView> root = context ? context->GetRootView() : KsRef<HcView>();
  if (root) return root->SetFrame(m_frame);
  return result;
}

void HcViewHelper::ReleaseGLResources() {
  m_sources = nullptr;
  m_renderer = nullptr;
}

bool HcViewHelper::CopyFrameBufferToRenderPort(const HcRenderPort&) {
  KS_TRACE(KsTrace::kError, "Only an off-screen view helper copies its frame");
  return false;
}

eAppErr HcViewHelper::PostFlight(const KsRef<SourceCollection>& sources) {
  if (!sources) return KS_TRACE_ERR(AppErr::kNotReady, "PostFlight");
  for (uint32_t i = 0; i < sources->GetCount(); ++i) {
    if (KsRef<PanoSource> source = sources->GetByIndex(i)) source->Update();
  }
  return AppErr::kNoErr;
}

eAppErr HcViewHelper::GetSize(int32_t* width, int32_t* height) {
  if (width) *width = 0;
  if (height) *height = 0;
  if (!m_renderer) return KS_TRACE_ERR(AppErr::kNotReady, "GetSize");
  return m_renderer->GetDrawableSize(width, height);
}

bool HcViewHelper::MouseMoved(const KsPointF& point, uint32_t* cursor) {
  KsRef<HcContextHelper> context = GetContext();
  KsRef<MouseResponder> responder = context ? context->GetMouseResponder() : KsRef<MouseResponder>();
  return responder && responder->MouseMoved(point, cursor);
}

bool HcViewHelper::MouseDown(const KsPointF& point, uint32_t* cursor) {
  KsRef<HcContextHelper> context = GetContext();
  KsRef<MouseResponder> responder = context ? context->GetMouseResponder() : KsRef<MouseResponder>();
  return responder && responder->MouseDown(point, cursor);
}

int32_t HcViewHelper::MouseUp(const KsPointF& point, uint32_t* cursor) {
  KsRef<HcContextHelper> context = GetContext();
  if (KsRef<MouseResponder> responder = context ? context->GetMouseResponder() : KsRef<MouseResponder>()) {
    responder->MouseUp(point, cursor);
  }
  return 0;
}

bool HcViewHelper::MouseScrolled(float amount, const KsPointF& point) {
  KsRef<HcContextHelper> context = GetContext();
  KsRef<MouseResponder> responder = context ? context->GetMouseResponder() : KsRef<MouseResponder>();
  return responder && responder->MouseScrolled(point, amount);
}

bool HcViewHelper::KeyDown(uint32_t code, uint32_t modifiers, uint32_t scanCode) {
  KsRef<HcContextHelper> context = GetContext();
  return context && context->KeyDown(code, modifiers, scanCode);
}

bool HcViewHelper::KeyUp(uint32_t code, uint32_t modifiers, uint32_t scanCode) {
  KsRef<HcContextHelper> context = GetContext();
  return context && context->KeyUp(code, modifiers, scanCode);
}
