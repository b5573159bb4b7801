#include "InterfaceCommon/HcContextHelper.h"

#include <string>

#include "General/ObjectCollection.h"
#include "InputDevice/InputDevice.h"
#include "InterfaceCommon/ContextViewHelper.h"
#include "InterfaceCommon/Viewset.h"
#include "InterfaceCommon/ViewsetCollection.h"
#include "Projection/ProjectionCollection.h"
#include "Renderer/PanoRenderer.h"
#include "Responder/KeyboardResponder.h"
#include "Responder/MouseForwardingResponder.h"
#include "Source/MultiplexerSource.h"
#include "Source/SourceCollection.h"
#include "Time/HcClock.h"
#include "Time/HcTweenCollection.h"
#include "Time/QTSystemClock.h"
#include "Utilities/Chameleon.h"
#include "Utilities/HcMLLoader.h"
#include "Utilities/HcPropertyBinding.h"
#include "Utilities/ObjectPath.h"
#include "Utilities/PropertyProxy.h"
#include "View/LayoutRegionCollection.h"
#include "View/LayoutRegionPercent.h"
#include "View/LayoutView.h"
#include "View/PanoView.h"

const char* const HcContextHelper::kInternalPlanarHcML =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<Viewset xmlns=\"http://www.halcyonplayer.net/halcyon/hcml\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xsi:type=\"Viewset\">\n"
    "  <Name>InternalPlanar</Name>\n"
    "  <MainViewPath>hc://View.Regions[0].View</MainViewPath>\n"
    "  <ViewsetType>2</ViewsetType>\n"
    "  <LoadLayer>PlanarRegion</LoadLayer>\n"
    "  <ViewHcML><![CDATA[<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<View xmlns=\"http://www.halcyonplayer.net/halcyon/hcml\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xsi:type=\"LayoutView\">\n"
    "  <Regions xsi:type=\"regions\">\n"
    "    <region xsi:type=\"LayoutRegionPercent\">\n"
    "      <AspectBinding xsi:type=\"HcWeakPropertyBinding\">\n"
    "        <TargetObject xsi:type=\"PanoSource\" href=\"hc://PlanarSource\"/>\n"
    "        <PropertyName>ImageAspect</PropertyName>\n"
    "      </AspectBinding>\n"
    "      <Views xsi:type=\"views\">\n"
    "        <view xsi:type=\"FlatSourceView\">\n"
    "          <Source xsi:type=\"PanoSource\" href=\"hc://PlanarSource\"/>\n"
    "        </view>\n"
    "      </Views>\n"
    "      <FrameRect>x=0 y=0 w=1 h=1</FrameRect>\n"
    "    </region>\n"
    "  </Regions>\n"
    "</View>\n"
    "]]></ViewHcML>\n"
    "</Viewset>\n";

namespace {

const PWStringRef kPanoRegionName("PanoRegion");
const PWStringRef kPlanarRegionName("PlanarRegion");
const PWStringRef kOverlayRegionName("OverlayRegion");
const PWStringRef kRootViewName("ContextRootView");
const PWStringRef kDefaultMainViewPath("hc://View");
const PWStringRef kMainViewPath("hc://MainView");
constexpr float kDefaultVFOV = 80.0f;
// The built-in planar viewset could not be made.
constexpr eAppErr kNoPlanarViewset = -3;

KsRef<LayoutRegionPercent> MakeRegion(const PWStringRef& name) {
  auto region = KsMakeRef<LayoutRegionPercent>();
  region->SetName(name);
  region->SetFrameRect(KsRectF{0.0f, 0.0f, 1.0f, 1.0f});
  return region;
}

// The proxy class of the panoramic views, registered when nobody did yet.
KsRef<KsClassObject> PanoViewProxyClass() {
  const KsRef<KsClassObject> panoView = PanoView::ClassGetClassObject();
  const PWStringRef name = PropertyProxy::MakeProxyClassName(panoView);
  KsRef<KsClassObject> proxyClass = HcClassMap::FindClassObject(name);
  if (!proxyClass) {
    PropertyProxy::RegisterClassObject(panoView);
    proxyClass = HcClassMap::FindClassObject(name);
  }
  return proxyClass;
}

// Multiplexes a list of several sources; hands one source on directly. The
// multiplexer gets the renderer as well: it hands its own to its members.
KsRef<PanoSource> OneSourceFor(const KsRef<SourceCollection>& list, const KsRef<PanoRenderer>& renderer,
                               const char* kind) {
  const uint32_t count = list->GetCount();
  if (count == 1) {
    KS_TRACE(KsTrace::kVerbose, "Found single %s source, using directly", kind);
    return list->GetByIndex(0);
  }
  KS_TRACE(KsTrace::kVerbose, "Found %i %s sources, inserting multiplexer source", static_cast<int>(count), kind);
  auto multiplexer = KsMakeRef<MultiplexerSource>();
  multiplexer->SetSourceList(list);
  multiplexer->SetRenderer(renderer);
  return multiplexer;
}

}  // namespace

HcContextHelper::HcContextHelper() { BuildSkeleton(); }

// The root view holds its observers weakly: nothing to undo here.
HcContextHelper::~HcContextHelper() = default;

void HcContextHelper::BuildSkeleton() {
  m_realtimeClock = QTSystemClock::GetSharedClock();
  KsRef<KsClassObject> proxyClass = PanoViewProxyClass();
  m_viewsets = KsMakeRef<ViewsetCollection>();
  m_projections = KsMakeRef<ProjectionCollection>();
  m_rootView = KsMakeRef<LayoutView>();
  m_namedControllerObjects = KsMakeRef<ObjectCollection>();

  auto regions = KsMakeRef<LayoutRegionCollection>();
  m_panoRegion = MakeRegion(kPanoRegionName);
  m_planarRegion = MakeRegion(kPlanarRegionName);
  m_overlayRegion = MakeRegion(kOverlayRegionName);
  regions->Add(m_panoRegion);
  regions->Add(m_planarRegion);
  regions->Add(m_overlayRegion);

  if (proxyClass) {
    KsRef<KsObject> proxy;
    proxyClass->CreateObject(proxy);
    m_viewProxy = proxy.DynamicCast<PropertyProxy>();
  }
  if (m_viewProxy) {
    m_viewProxy->SetResolveContext(m_panoRegion);
  } else {
    KS_TRACE(KsTrace::kError, "No proxy class for the panoramic views; the scene has no main view");
  }

  m_rootView->SetRegions(regions);
  m_rootView->SetName(kRootViewName);
  m_rootView->AddObserverForId(KsRef<KsObject>(this), HcView::kNeedsDisplayId, 0);

  auto mouse = KsMakeRef<MouseForwardingResponder>();
  mouse->SetClock(GetIdleClock());
  mouse->SetView(m_rootView);
  m_mouseResponder = mouse;
}

eAppErr HcContextHelper::ClearContext() {
  if (ContextViewHelper* helper = ContextViewHelper::Of(m_viewHelper)) helper->ReleaseGLResources();
  if (m_rootView) m_rootView->RemoveObserverForId(KsRef<KsObject>(this), HcView::kNeedsDisplayId);
  m_renderer = nullptr;
  m_source = nullptr;
  m_planarSource = nullptr;
  m_realtimeClock = nullptr;
  m_movieClock = nullptr;
  m_rootView = nullptr;
  m_viewsetImages = nullptr;
  m_intrinsicSources = nullptr;
  m_sources = nullptr;
  m_viewProxy = nullptr;
  m_keyboardResponder = nullptr;
  m_viewsets = nullptr;
  m_projections = nullptr;
  m_planarRegion = nullptr;
  m_panoRegion = nullptr;
  m_overlayRegion = nullptr;
  m_tweens = nullptr;
  m_idleClock = nullptr;
  m_mouseResponder = nullptr;
  m_inputDevice = nullptr;
  m_namedControllerObjects = nullptr;
  m_namedViewsetObjects = nullptr;
  return AppErr::kNoErr;
}

// ---- The per-refresh step ----

eAppErr HcContextHelper::IdleClocks() {
  KsRef<HcClock> movieClock = GetMovieClock();
  const eAppErr movie = movieClock ? movieClock->Idle() : HcClock::kNothingDone;
  KsRef<HcClock> realtimeClock = GetRealtimeClock();
  const eAppErr realtime = realtimeClock ? realtimeClock->Idle() : HcClock::kNothingDone;
  KsRef<HcClock> idleClock = GetIdleClock();
  const eAppErr idle = idleClock ? idleClock->Idle() : HcClock::kNothingDone;
  KsRef<InputDevice> device = GetInputDevice();
  const eAppErr polled = device ? device->Update() : InputDevice::kNothingDone;

  for (eAppErr result : {movie, realtime, idle, polled}) {
    if (AppErrFailed(result)) return KS_TRACE_ERR(result, "IdleClocks");
  }
  const bool dirty = m_renderer && m_renderer->GetIsDirty();
  const bool nothingDone = movie == kNothingToDraw && realtime == kNothingToDraw && idle == kNothingToDraw &&
                           polled == kNothingToDraw;
  return nothingDone && !dirty ? kNothingToDraw : AppErr::kNoErr;
}

eAppErr HcContextHelper::IdleClocksWithStatus(bool* isDirty) {
  const eAppErr result = IdleClocks();
  if (isDirty) *isDirty = result != kNothingToDraw;
  if (AppErrFailed(result)) return KS_TRACE_ERR(result, "IdleClocksWithStatus");
  return result;
}

eAppErr HcContextHelper::ResetIdle() {
  KsRef<HcClock> clock = GetIdleClock();
  return clock ? clock->ResetIdle() : AppErr::kNoErr;
}

// ---- Sources ----

KsRef<SourceCollection> HcContextHelper::GetSources() const { return m_sources; }

eAppErr HcContextHelper::SetSources(const KsRef<SourceCollection>& sources) {
  DidChangeCaller sourcesChange(this, kSourcesId);
  DidChangeCaller sourceChange(this, kSourceId);
  DidChangeCaller planarChange(this, kPlanarSourceId);
  if (!sources) {
    m_sources = nullptr;
    m_planarSource = nullptr;
    m_source = nullptr;
    return AppErr::kNoErr;
  }
  auto planar = KsMakeRef<SourceCollection>();
  auto panoramic = KsMakeRef<SourceCollection>();
  for (uint32_t i = 0; i < sources->GetCount(); ++i) {
    KsRef<PanoSource> source = sources->GetByIndex(i);
    if (!source) continue;
    source->SetRenderer(m_renderer);
    (source->GetIsPlanarSource() ? planar : panoramic)->Add(source);
  }
  eAppErr result = AppErr::kNoErr;
  if (planar->GetCount() > 0) {
    result = SetPlanarSource(OneSourceFor(planar, m_renderer, "planar"));
  } else {
    KS_TRACE(KsTrace::kVerbose, "Found no planar sources");
  }
  if (panoramic->GetCount() > 0) m_source = OneSourceFor(panoramic, m_renderer, "pano");
  m_sources = sources;
  if (AppErrFailed(result)) return KS_TRACE_ERR(result, "SetSources");
  return AppErr::kNoErr;
}

KsRef<PanoSource> HcContextHelper::GetSource() const { return m_source; }

eAppErr HcContextHelper::SetSource(const KsRef<PanoSource>& source) {
  DidChangeCaller change(this, kSourceId);
  m_source = source;
  if (m_source) m_source->SetRenderer(m_renderer);
  return AppErr::kNoErr;
}

KsRef<PanoSource> HcContextHelper::GetPlanarSource() const { return m_planarSource; }

eAppErr HcContextHelper::SetPlanarSource(const KsRef<PanoSource>& source) {
  DidChangeCaller change(this, kPlanarSourceId);
  m_planarSource = source;
  if (!source) {
    if (m_planarRegion) m_planarRegion->SetViewset(nullptr);
    MarkRendererDirty();
    return AppErr::kNoErr;
  }
  source->SetRenderer(m_renderer);
  KsRef<Viewset> planar = GetInternalPlanarViewset();
  if (!planar) {
    KS_TRACE(KsTrace::kError, "Couldn't find flat viewset, unable to display planar source!");
    return KS_TRACE_ERR(kNoPlanarViewset, "SetPlanarSource");
  }
  planar->SetView(nullptr);
  eAppErr err = planar->LoadView(KsRef<HcContextHelper>(this));
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetPlanarSource");
  err = m_planarRegion ? m_planarRegion->SetViewset(planar) : AppErr::kNotReady;
  MarkRendererDirty();
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetPlanarSource");
  return AppErr::kNoErr;
}

KsRef<SourceCollection> HcContextHelper::GetIntrinsicSources() {
  if (!m_intrinsicSources) m_intrinsicSources = KsMakeRef<SourceCollection>();
  return m_intrinsicSources;
}

eAppErr HcContextHelper::SetIntrinsicSources(const KsRef<SourceCollection>& sources) {
  if (sources == m_intrinsicSources) return AppErr::kNoErr;
  DidChangeCaller change(this, kIntrinsicSourcesId);
  m_intrinsicSources = sources;
  return AppErr::kNoErr;
}

KsRef<SourceCollection> HcContextHelper::GetViewsetImages() {
  if (!m_viewsetImages) m_viewsetImages = KsMakeRef<SourceCollection>();
  return m_viewsetImages;
}

eAppErr HcContextHelper::SetViewsetImages(const KsRef<SourceCollection>& images) {
  if (images == m_viewsetImages) return AppErr::kNoErr;
  DidChangeCaller change(this, kViewsetImagesId);
  m_viewsetImages = images;
  return AppErr::kNoErr;
}

// ---- Renderer and view helper ----

KsRef<PanoRenderer> HcContextHelper::GetRenderer() { return m_renderer; }

eAppErr HcContextHelper::SetRenderer(const KsRef<PanoRenderer>& renderer) {
  DidChangeCaller change(this, kRendererId);
  m_renderer = renderer;
  if (!m_renderer) return AppErr::kNoErr;
  int32_t width = 0;
  int32_t height = 0;
  m_renderer->GetDrawableSize(&width, &height);
  if (m_rootView) {
    m_rootView->SetFrame(KsRectF{0.0f, 0.0f, static_cast<float>(width), static_cast<float>(height)});
  }
  if (m_sources) {
    for (uint32_t i = 0; i < m_sources->GetCount(); ++i) {
      if (KsRef<PanoSource> source = m_sources->GetByIndex(i)) source->SetRenderer(m_renderer);
    }
  }
  // The multiplexers made over several sources are not among Sources; they
  // hand their own renderer to their members.
  if (m_source) m_source->SetRenderer(m_renderer);
  if (m_planarSource) m_planarSource->SetRenderer(m_renderer);
  return AppErr::kNoErr;
}

KsRef<KsObject> HcContextHelper::GetViewHelper() const { return m_viewHelper; }

eAppErr HcContextHelper::SetViewHelper(const KsRef<KsObject>& helper) {
  if (helper && !ContextViewHelper::Of(helper)) return KS_TRACE_ERR(AppErr::kBadArgument, "SetViewHelper");
  if (helper == m_viewHelper) return AppErr::kNoErr;
  DidChangeCaller change(this, kViewHelperId);
  m_viewHelper = helper;
  return AppErr::kNoErr;
}

// ---- Clocks ----

KsRef<HcClock> HcContextHelper::GetMovieClock() {
  if (m_movieClock) return m_movieClock;
  KsRef<PanoSource> source = m_source;
  if (!source && m_sources) source = m_sources->GetByIndex(0);
  return source ? source->GetClock().DynamicCast<HcClock>() : KsRef<HcClock>();
}

eAppErr HcContextHelper::SetMovieClock(const KsRef<HcClock>& clock) {
  if (clock == m_movieClock) return AppErr::kNoErr;
  DidChangeCaller change(this, kMovieClockId);
  m_movieClock = clock;
  return AppErr::kNoErr;
}

KsRef<HcClock> HcContextHelper::GetRealtimeClock() {
  if (!m_realtimeClock) m_realtimeClock = QTSystemClock::GetSharedClock();
  return m_realtimeClock;
}

KsRef<HcClock> HcContextHelper::GetIdleClock() {
  if (!m_idleClock) m_idleClock = KsMakeRef<QTSystemClock>();
  return m_idleClock;
}

void HcContextHelper::UseClocks(const KsRef<HcClock>& realtime, const KsRef<HcClock>& idle) {
  if (realtime) m_realtimeClock = realtime;
  if (idle) m_idleClock = idle;
  auto mouse = m_mouseResponder.DynamicCast<MouseForwardingResponder>();
  if (!mouse) return;
  if (realtime) mouse->SetRealtimeClock(realtime);
  if (idle) mouse->SetClock(idle);
}

// ---- Viewsets ----

KsRef<Viewset> HcContextHelper::GetViewset() const {
  return m_panoRegion ? m_panoRegion->GetViewset() : KsRef<Viewset>();
}

eAppErr HcContextHelper::SetViewset(const KsRef<Viewset>& viewset) {
  DidChangeCaller change(this, kRootViewId);
  if (!viewset) {
    KS_TRACE(KsTrace::kError, "Viewset didn't resolve to an actual object!");
    return KS_TRACE_ERR(AppErr::kBadArgument, "SetViewset");
  }
  if (!viewset->GetView()) {
    const eAppErr err = viewset->LoadView(KsRef<HcContextHelper>(this));
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetViewset");
  }
  // A text that loaded but named no view: the regions stay as they are.
  if (!viewset->GetView()) return KS_TRACE_ERR(AppErr::kNotReady, "SetViewset");
  const PWStringRef layer = viewset->GetLoadLayer();
  if (!layer.IsNull() && !layer.IsEmpty() && layer.Str() != kPanoRegionName.Str()) {
    return ShowInNamedRegion(viewset, layer);
  }
  return ShowInPanoRegion(viewset);
}

eAppErr HcContextHelper::ShowInNamedRegion(const KsRef<Viewset>& viewset, const PWStringRef& layer) {
  KsRef<KsObject> found;
  KsRef<LayoutRegionCollection> regions = m_rootView ? m_rootView->GetRegions() : KsRef<LayoutRegionCollection>();
  if (!regions) return KS_TRACE_ERR(AppErr::kNotReady, "SetViewset");
  eAppErr err = regions->GetObjectByName(layer, &found);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetViewset");
  KsRef<LayoutRegion> region = found.DynamicCast<LayoutRegion>();
  if (!region) return KS_TRACE_ERR(AppErr::kNotFound, "SetViewset");
  err = region->SetViewset(viewset);
  MarkRendererDirty();
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetViewset");
  return AppErr::kNoErr;
}

eAppErr HcContextHelper::ShowInPanoRegion(const KsRef<Viewset>& viewset) {
  if (!m_panoRegion) return KS_TRACE_ERR(AppErr::kNotReady, "SetViewset");
  DidChangeCaller viewsetChange(this, kViewsetId);
  DidChangeCaller indexChange(this, kViewsetIndexId);
  DidChangeCaller nameChange(this, kViewsetNameId);
  DidChangeCaller mainViewChange(this, kMainViewId);

  KsRef<HcView> oldMain = GetMainView();
  KsRef<HcTweenCollection> tweens = oldMain ? oldMain->GetTweens() : KsRef<HcTweenCollection>();
  float pan = 0.0f;
  float tilt = 0.0f;
  float vfov = kDefaultVFOV;
  if (KsRef<PanoView> oldPano = oldMain.DynamicCast<PanoView>()) {
    pan = oldPano->GetPanAngle();
    tilt = oldPano->GetTiltAngle();
    vfov = oldPano->GetVFOV();
  }

  const eAppErr err = m_panoRegion->SetViewset(viewset);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetViewset");
  if (m_viewProxy) {
    const PWStringRef mainPath = viewset->GetMainViewPath();
    m_viewProxy->SetTargetPath(mainPath.IsNull() ? kDefaultMainViewPath : mainPath);
  }

  const PWStringRef responderPath = viewset->GetKeyboardResponderPath();
  if (responderPath.IsNull()) {
    m_keyboardResponder = nullptr;
  } else {
    KsRef<KsObject> responder;
    ResolveObjectPath(responderPath, viewset, &responder);
    m_keyboardResponder = responder.DynamicCast<KeyboardResponder>();
  }

  KsContextHelper::SetFloatAtPath(kMainViewPath, PWStringRef("PanAngle"), pan);
  KsContextHelper::SetFloatAtPath(kMainViewPath, PWStringRef("TiltAngle"), tilt);
  KsContextHelper::SetFloatAtPath(kMainViewPath, PWStringRef("VFOV"), vfov);
  if (KsRef<HcView> view = viewset->GetView()) view->SetTweens(tweens);
  MarkRendererDirty();
  return AppErr::kNoErr;
}

uint32_t HcContextHelper::GetViewsetIndex() const {
  KsRef<Viewset> current = GetViewset();
  if (!current || !m_viewsets) return 0;
  for (uint32_t i = 0; i < m_viewsets->GetCount(); ++i) {
    if (m_viewsets->GetByIndex(i) == current) return i;
  }
  return 0;
}

eAppErr HcContextHelper::SetViewsetIndex(uint32_t index) {
  KsRef<Viewset> viewset = m_viewsets ? m_viewsets->GetByIndex(index) : KsRef<Viewset>();
  if (!viewset) return KS_TRACE_ERR(AppErr::kBadArgument, "SetViewsetIndex");
  return SetViewset(viewset);
}

PWStringRef HcContextHelper::GetViewsetName() const {
  KsRef<Viewset> current = GetViewset();
  return current ? current->GetName() : PWStringRef();
}

eAppErr HcContextHelper::SetViewsetName(const PWStringRef& name) {
  KsRef<Viewset> viewset;
  const eAppErr err = FindViewset(name, &viewset);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetViewsetName");
  return SetViewset(viewset);
}

KsRef<ViewsetCollection> HcContextHelper::GetViewsets() const { return m_viewsets; }

eAppErr HcContextHelper::SetViewsets(const KsRef<ViewsetCollection>& viewsets) {
  if (viewsets == m_viewsets) return AppErr::kNoErr;
  DidChangeCaller change(this, kViewsetsId);
  m_viewsets = viewsets;
  return AppErr::kNoErr;
}

KsRef<Viewset> HcContextHelper::LoadStaticViewset(const PWStringRef& hcml) {
  auto holder = KsMakeRef<Chameleon>();
  auto loader = KsMakeRef<HcMLLoader>();
  loader->SetRootObject(holder);
  loader->SetPathRoot(KsRef<KsObject>(this));
  loader->SetHcMLToLoad(hcml);
  const eAppErr err = loader->LoadHcML();
  if (AppErrFailed(err)) KS_TRACE(KsTrace::kError, "Error %i loading static viewset!", err);
  return holder->GetPropValue().DynamicCast<Viewset>();
}

KsRef<Viewset> HcContextHelper::GetInternalPlanarViewset() {
  if (!m_internalPlanar) m_internalPlanar = LoadStaticViewset(PWStringRef(kInternalPlanarHcML));
  return m_internalPlanar;
}

// ---- Views and responders ----

KsRef<HcView> HcContextHelper::GetRootView() { return m_rootView; }
KsRef<LayoutView> HcContextHelper::GetRootLayoutView() const { return m_rootView; }
KsRef<LayoutRegionPercent> HcContextHelper::GetPanoRegion() const { return m_panoRegion; }
KsRef<LayoutRegionPercent> HcContextHelper::GetPlanarRegion() const { return m_planarRegion; }
KsRef<LayoutRegionPercent> HcContextHelper::GetOverlayRegion() const { return m_overlayRegion; }

KsRef<HcView> HcContextHelper::GetMainView() {
  return m_viewProxy ? m_viewProxy->GetResolvedTarget().DynamicCast<HcView>() : KsRef<HcView>();
}

KsRef<PropertyProxy> HcContextHelper::GetViewProxy() const { return m_viewProxy; }

eAppErr HcContextHelper::SetViewProxy(const KsRef<PropertyProxy>& proxy) {
  DidChangeCaller proxyChange(this, kViewProxyId);
  DidChangeCaller mainViewChange(this, kMainViewId);
  if (proxy != m_viewProxy) return KS_TRACE_ERR(AppErr::kBadArgument, "SetViewProxy");
  return AppErr::kNoErr;
}

KsRef<MouseResponder> HcContextHelper::GetMouseResponder() const { return m_mouseResponder; }

KsRef<KeyboardResponder> HcContextHelper::GetKeyboardResponder() {
  if (m_keyboardResponder) return m_keyboardResponder;
  KsRef<HcView> main = GetMainView();
  return main ? main->GetKeyboardResponder() : KsRef<KeyboardResponder>();
}

eAppErr HcContextHelper::SetKeyboardResponder(const KsRef<KeyboardResponder>& responder) {
  if (responder == m_keyboardResponder) return AppErr::kNoErr;
  DidChangeCaller change(this, kKeyboardResponderId);
  m_keyboardResponder = responder;
  return AppErr::kNoErr;
}

KsRef<ProjectionCollection> HcContextHelper::GetProjections() const { return m_projections; }

eAppErr HcContextHelper::SetProjections(const KsRef<ProjectionCollection>& projections) {
  if (projections == m_projections) return AppErr::kNoErr;
  DidChangeCaller change(this, kProjectionsId);
  m_projections = projections;
  return AppErr::kNoErr;
}

KsRef<HcTweenCollection> HcContextHelper::GetTweens() const { return m_tweens; }

eAppErr HcContextHelper::SetTweens(const KsRef<HcTweenCollection>& tweens) {
  if (tweens == m_tweens) return AppErr::kNoErr;
  DidChangeCaller change(this, kTweensId);
  m_tweens = tweens;
  return AppErr::kNoErr;
}

KsRef<ObjectCollection> HcContextHelper::GetNamedControllerObjects() const { return m_namedControllerObjects; }

eAppErr HcContextHelper::SetNamedControllerObjects(const KsRef<ObjectCollection>& objects) {
  if (objects == m_namedControllerObjects) return AppErr::kNoErr;
  DidChangeCaller change(this, kNamedControllerObjectsId);
  m_namedControllerObjects = objects;
  return AppErr::kNoErr;
}

KsRef<ObjectCollection> HcContextHelper::GetNamedViewsetObjects() const { return m_namedViewsetObjects; }

eAppErr HcContextHelper::SetNamedViewsetObjects(const KsRef<ObjectCollection>& objects) {
  if (objects == m_namedViewsetObjects) return AppErr::kNoErr;
  DidChangeCaller change(this, kNamedViewsetObjectsId);
  m_namedViewsetObjects = objects;
  return AppErr::kNoErr;
}

KsRef<InputDevice> HcContextHelper::GetInputDevice() {
  return m_inputDevice ? m_inputDevice->GetTargetAs<InputDevice>() : KsRef<InputDevice>();
}

eAppErr HcContextHelper::SetInputDevice(const KsRef<InputDevice>& device) {
  WeakRef::Ref weak = WeakRef::GetWeakRef(device.Get());
  if (weak == m_inputDevice) return AppErr::kNoErr;
  DidChangeCaller change(this, kInputDeviceId);
  m_inputDevice = weak;
  return AppErr::kNoErr;
}

// ---- The responders' face ----

eAppErr HcContextHelper::FindViewset(const PWStringRef& name, KsRef<Viewset>* viewset) {
  if (name.IsNull() || name.IsEmpty()) return KS_TRACE_ERR(AppErr::kBadArgument, "SetViewsetName");
  if (!m_viewsets) return KS_TRACE_ERR(AppErr::kNotFound, "SetViewsetName");
  return m_viewsets->GetByName(name, viewset);
}

eAppErr HcContextHelper::LoadHcMLAtRoot(const PWStringRef& hcml, const PWStringRef& rootPath) {
  return LoadHcMLWithResult(hcml, rootPath);
}

eAppErr HcContextHelper::SetViewProxyTargetPath(const PWStringRef& path) {
  if (!m_viewProxy) return KS_TRACE_ERR(AppErr::kNotReady, "SetViewProxyTargetPath");
  DidChangeCaller change(this, kMainViewId);
  return m_viewProxy->SetTargetPath(path);
}

eAppErr HcContextHelper::GetFloatAtPath(const PWStringRef& path, const PWStringRef& propertyName, float* value) {
  return HcPropertyBinding::GetPropertyValue(value, path, propertyName, KsRef<KsObject>(this));
}

eAppErr HcContextHelper::SetFloatAtPath(const PWStringRef& path, const PWStringRef& propertyName, float value) {
  return KsContextHelper::SetFloatAtPath(path, propertyName, value);
}

void HcContextHelper::ObservePropertyChange(const KsRef<KsObject>& object, const KsRef<HcProperty>& property,
                                            const KsRef<KsObject>&) {
  if (!object || object.Get() != static_cast<KsObject*>(m_rootView.Get()) || !property) return;
  if (property->GetPropertyID() == HcView::kNeedsDisplayId) MarkRendererDirty();
}

void HcContextHelper::MarkRendererDirty() {
  if (m_renderer) m_renderer->SetIsDirty(true);
}
