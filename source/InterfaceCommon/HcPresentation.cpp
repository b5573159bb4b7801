#include "InterfaceCommon/HcPresentation.h"

#include "InterfaceCommon/HcContextHelper.h"
#include "InterfaceCommon/Viewset.h"
#include "InterfaceCommon/ViewsetCollection.h"
#include "KsTrace.h"
#include "Projection/PanoProjection.h"
#include "Projection/ProjectionCollection.h"
#include "Source/PanoSource.h"
#include "Source/SourceCollection.h"
#include "Time/ConvergentTransition.h"
#include "Time/HcClock.h"
#include "Time/HcTween.h"
#include "Time/HcTweenCollection.h"
#include "Utilities/HcPropertyBinding.h"
#include "Utilities/ObjectPath.h"
#include "Utilities/ObjectWriter.h"
#include "Utilities/XMLStringEmitter.h"
#include "View/HcView.h"
#include "View/PanoView.h"

namespace {

const PWStringRef kViewsetsPath("hc://Viewsets");
const PWStringRef kCurrentViewsetPath("hc://Viewset");
const PWStringRef kTweensPath("hc://Tweens");
const PWStringRef kViewProxyPath("hc://ViewProxy");

// Object setters leave an object they already hold alone.
template <class T>
eAppErr StoreObject(KsObject* owner, int32_t propertyId, KsRef<T>& member, const KsRef<T>& value) {
  if (value == member) return AppErr::kNoErr;
  DidChangeCaller change(owner, propertyId);
  member = value;
  return AppErr::kNoErr;
}

template <class T>
eAppErr StoreValue(KsObject* owner, int32_t propertyId, T& member, const T& value) {
  DidChangeCaller change(owner, propertyId);
  member = value;
  return AppErr::kNoErr;
}

// Puts the projection in the scene's list in place of the first one of the
// same name, or at its end.
void RegisterProjection(const KsRef<ProjectionCollection>& projections, const KsRef<PanoProjection>& projection) {
  const PWStringRef name = projection->GetName();
  for (uint32_t index = 0; index < projections->GetCount(); ++index) {
    KsRef<PanoProjection> held;
    if (AppErrFailed(projections->GetByIndex(index, &held)) || !held) continue;
    if (held->GetName() == name) {
      projections->SetAt(index, projection);
      return;
    }
  }
  projections->Add(projection);
}

// A presentation's texts may hold presentations that build scenes in turn;
// the nesting a thread may run is bounded so that no document runs the
// stack out.
thread_local int t_buildDepth = 0;

class BuildDepthScope {
 public:
  BuildDepthScope() { ++t_buildDepth; }
  ~BuildDepthScope() { --t_buildDepth; }
  BuildDepthScope(const BuildDepthScope&) = delete;
  BuildDepthScope& operator=(const BuildDepthScope&) = delete;
  bool TooDeep() const { return t_buildDepth > HcPresentation::kMaxNestedBuilds; }
};

}  // namespace

HcPresentation::HcPresentation()
    : m_idleTweenPath("hc://Tweens[0]"), m_namedControllerObjects(KsMakeRef<ObjectCollection>()) {}

HcPresentation::~HcPresentation() = default;

// --- accessors ---

eAppErr HcPresentation::SetViewsetName(const PWStringRef& name) {
  return StoreValue(this, kViewsetNameId, m_viewsetName, name);
}
eAppErr HcPresentation::SetViewsetHcML(const PWStringRef& hcml) {
  return StoreValue(this, kViewsetHcMLId, m_viewsetHcML, hcml);
}
eAppErr HcPresentation::SetViewTweensHcML(const PWStringRef& hcml) {
  return StoreValue(this, kViewTweensHcMLId, m_viewTweensHcML, hcml);
}
eAppErr HcPresentation::SetInitialViewHcML(const PWStringRef& hcml) {
  return StoreValue(this, kInitialViewHcMLId, m_initialViewHcML, hcml);
}
eAppErr HcPresentation::SetIdleTweenPath(const PWStringRef& path) {
  return StoreValue(this, kIdleTweenPathId, m_idleTweenPath, path);
}
eAppErr HcPresentation::SetDisplaySize(KsSizeF size) { return StoreValue(this, kDisplaySizeId, m_displaySize, size); }
eAppErr HcPresentation::SetOpenFullScreen(bool open) {
  return StoreValue(this, kOpenFullScreenId, m_openFullScreen, open);
}
eAppErr HcPresentation::SetHideControls(bool hide) { return StoreValue(this, kHideControlsId, m_hideControls, hide); }
eAppErr HcPresentation::SetUseIdle(bool use) { return StoreValue(this, kUseIdleId, m_useIdle, use); }
eAppErr HcPresentation::SetAutoPlay(bool play) { return StoreValue(this, kAutoPlayId, m_autoPlay, play); }

KsRef<HcTweenCollection> HcPresentation::GetViewTweens() const { return m_viewTweens; }
eAppErr HcPresentation::SetViewTweens(const KsRef<HcTweenCollection>& tweens) {
  return StoreObject(this, kViewTweensId, m_viewTweens, tweens);
}

KsRef<SourceDescriptionCollection> HcPresentation::GetSourceList() {
  if (!m_sourceList) m_sourceList = KsMakeRef<SourceDescriptionCollection>();
  return m_sourceList;
}
eAppErr HcPresentation::SetSourceList(const KsRef<SourceDescriptionCollection>& list) {
  return StoreObject(this, kSourceListId, m_sourceList, list);
}

KsRef<HcContextHelper> HcPresentation::GetHcContext() {
  if (!m_hcContext) m_hcContext = KsMakeRef<HcContextHelper>();
  return m_hcContext;
}
eAppErr HcPresentation::SetHcContext(const KsRef<HcContextHelper>& context) {
  return StoreObject(this, kHcContextId, m_hcContext, context);
}

eAppErr HcPresentation::SetLoadHcML(const KsRef<KsStringCollection>& texts) {
  return StoreObject(this, kLoadHcMLId, m_loadHcML, texts);
}

KsRef<HcClock> HcPresentation::GetLiveClock() const { return m_liveClock; }
eAppErr HcPresentation::SetLiveClock(const KsRef<HcClock>& clock) {
  return StoreObject(this, kLiveClockId, m_liveClock, clock);
}

eAppErr HcPresentation::SetNamedControllerObjects(const KsRef<ObjectCollection>& objects) {
  return StoreObject(this, kNamedControllerObjectsId, m_namedControllerObjects, objects);
}

// --- main source ---

KsRef<SourceDescription> HcPresentation::MakeBlankMainSource() {
  KS_TRACE(KsTrace::kWarning, "Creating new source desc in GetMainSource");
  return KsMakeRef<SourceDescription>();
}

eAppErr HcPresentation::GetMainSource(KsRef<SourceDescription>* description) {
  if (!description) return KS_TRACE_ERR(AppErr::kBadArgument, "GetMainSource");
  KsRef<SourceDescriptionCollection> list = GetSourceList();
  if (list->GetCount() == 0) {
    const eAppErr err = list->Add(MakeBlankMainSource());
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "GetMainSource");
  }
  return list->GetByIndex(0, description);
}

KsRef<SourceDescription> HcPresentation::GetMainSource() {
  KsRef<SourceDescription> description;
  GetMainSource(&description);
  return description;
}

eAppErr HcPresentation::SetMainSource(const KsRef<SourceDescription>& description) {
  DidChangeCaller change(this, kMainSourceId);
  KsRef<SourceDescriptionCollection> list = GetSourceList();
  list->RemoveAllObjects();
  if (!description) return AppErr::kNoErr;
  const eAppErr err = list->Add(description);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetMainSource");
  return AppErr::kNoErr;
}

// --- files ---

eAppErr HcPresentation::ReadTextFile(const PWStringRef& path, PWStringRef* text) const {
  return m_fileAccess.NarrowedBy(FileAccessPolicy::Current()).ReadText(path, text);
}

eAppErr HcPresentation::SetInitialViewHcMLPath(const PWStringRef& path) {
  DidChangeCaller change(this, kInitialViewHcMLPathId);
  PWStringRef text;
  if (AppErrFailed(ReadTextFile(path, &text))) return KS_TRACE_ERR(AppErr::kBadArgument, "SetInitialViewHcMLPath");
  return SetInitialViewHcML(text);
}

eAppErr HcPresentation::SetViewsetHcMLPath(const PWStringRef& path) {
  DidChangeCaller change(this, kViewsetHcMLPathId);
  PWStringRef text;
  if (AppErrFailed(ReadTextFile(path, &text))) return KS_TRACE_ERR(AppErr::kBadArgument, "SetViewsetHcMLPath");
  return SetViewsetHcML(text);
}

eAppErr HcPresentation::SetViewTweensHcMLPath(const PWStringRef& path) {
  DidChangeCaller change(this, kViewTweensHcMLPathId);
  PWStringRef text;
  if (AppErrFailed(ReadTextFile(path, &text))) return KS_TRACE_ERR(AppErr::kBadArgument, "SetViewTweensHcMLPath");
  return SetViewTweensHcML(text);
}

// --- building the scene ---

eAppErr HcPresentation::SetInitContextFromHcML(bool build) {
  if (!build) return AppErr::kNoErr;
  BuildDepthScope depth;
  if (depth.TooDeep()) return KS_TRACE_ERR(AppErr::kOutOfRange, "SetInitContextFromHcML");
  KsRef<HcContextHelper> context = GetHcContext();
  // Each viewset is loaded anew into this scene when it is shown.
  if (KsRef<ViewsetCollection> viewsets = context->GetViewsets()) {
    for (uint32_t index = 0; index < viewsets->GetCount(); ++index) {
      KsRef<Viewset> viewset;
      if (!AppErrFailed(viewsets->GetByIndex(index, &viewset)) && viewset) viewset->SetView(nullptr);
    }
  }
  context->SetNamedControllerObjects(m_namedControllerObjects);
  // What the presentation's texts make stays as restricted as the presentation.
  FileAccessPolicy::Scope scope(m_fileAccess);
  eAppErr err = BuildSources(context);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetInitContextFromHcML");
  err = ChooseViewset(context);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetInitContextFromHcML");
  context->SetMovieClock(m_liveClock);
  if (m_initialViewHcML && !context->LoadHcML(m_initialViewHcML)) {
    KS_TRACE(KsTrace::kError, "Error loading initial view HcML");
  }
  LoadViewTweens(context);
  if (m_useIdle) InstallIdleTransition(context);
  LoadFurtherHcML(context);
  HandOverToControllers(context);
  return AppErr::kNoErr;
}

eAppErr HcPresentation::BuildSources(const KsRef<HcContextHelper>& context) {
  auto sources = KsMakeRef<SourceCollection>();
  KsRef<SourceDescriptionCollection> list = GetSourceList();
  KsRef<ProjectionCollection> projections = context->GetProjections();
  for (uint32_t index = 0; index < list->GetCount(); ++index) {
    KsRef<SourceDescription> description;
    if (AppErrFailed(list->GetByIndex(index, &description)) || !description) continue;
    KsRef<PanoSource> source = description->GetLiveSource();
    if (!source) {
      const eAppErr err = description->SetInitSourceFromHcML(true);
      if (AppErrFailed(err)) return KS_TRACE_ERR(err, "BuildSources");
      source = description->GetLiveSource();
    }
    // A description with no live source even now has nothing to show.
    if (!source) continue;
    sources->Add(source);
    KsRef<PanoProjection> projection = source->GetProjection();
    if (projection && projections && projection->GetName()) RegisterProjection(projections, projection);
  }
  context->SetSources(sources);
  return AppErr::kNoErr;
}

eAppErr HcPresentation::ChooseViewset(const KsRef<HcContextHelper>& context) {
  eAppErr err = AppErr::kNoErr;
  if (m_viewsetName) {
    KsRef<Viewset> held;
    KsRef<ViewsetCollection> viewsets = context->GetViewsets();
    const bool found = viewsets && !AppErrFailed(viewsets->GetByName(m_viewsetName, &held)) && held;
    // A viewset the scene already holds wins over the presentation's text.
    if (!found && m_viewsetHcML && !context->LoadHcML(m_viewsetHcML, kViewsetsPath)) {
      KS_TRACE(KsTrace::kError, "Error loading viewset HcML into context");
      return kViewsetHcMLNotLoaded;
    }
    err = context->SetViewsetName(m_viewsetName);
  } else if (PWStringRef current = context->GetViewsetName()) {
    err = context->SetViewsetName(current);
  } else {
    KsRef<Viewset> first;
    if (KsRef<ViewsetCollection> viewsets = context->GetViewsets(); viewsets && viewsets->GetCount() > 0) {
      viewsets->GetByIndex(0, &first);
    }
    context->SetViewset(first);
  }
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "ChooseViewset");
  return AppErr::kNoErr;
}

void HcPresentation::LoadViewTweens(const KsRef<HcContextHelper>& context) {
  if (m_viewTweens) {
    context->SetTweens(m_viewTweens);
  } else if (m_viewTweensHcML && !context->LoadHcML(m_viewTweensHcML)) {
    KS_TRACE(KsTrace::kError, "Error loading view tweens HcML");
  }
}

void HcPresentation::InstallIdleTransition(const KsRef<HcContextHelper>& context) {
  auto transition = KsMakeRef<ConvergentTransition>();
  KsRef<KsObject> target;
  if (m_idleTweenPath && !AppErrFailed(ResolveObjectPath(m_idleTweenPath, context, &target))) {
    transition->SetTargetTween(target.DynamicCast<HcTween>());
  }
  KsRef<HcClock> idleClock = context->GetIdleClock();
  if (!idleClock) return;
  idleClock->SetIdleTransition(transition);
  idleClock->SetUseIdleTransition(true);
}

void HcPresentation::LoadFurtherHcML(const KsRef<HcContextHelper>& context) {
  if (!m_loadHcML) return;
  for (uint32_t index = 0; index < m_loadHcML->GetCount(); ++index) {
    if (!context->LoadHcML(m_loadHcML->GetByIndex(index))) KS_TRACE(KsTrace::kError, "Error loading LoadHcML");
  }
}

void HcPresentation::HandOverToControllers(const KsRef<HcContextHelper>& context) {
  if (!m_namedControllerObjects) return;
  static const PWStringRef kRootPath("hc://");
  static const PWStringRef kContextProperty("ContextHelper");
  const KsRef<KsObject> value = context;
  for (uint32_t index = 0; index < m_namedControllerObjects->GetCount(); ++index) {
    KsRef<KsObject> controller;
    if (AppErrFailed(m_namedControllerObjects->GetObjectByIndex(index, &controller)) || !controller) continue;
    // A controller without the property is simply not told.
    HcPropertyBinding::SetPropertyValue(value, kRootPath, kContextProperty, controller);
  }
}

// --- writing the scene back ---

eAppErr HcPresentation::SetInitHcMLFromContext(bool write) {
  if (!write) return AppErr::kNoErr;
  if (!m_hcContext) return KS_TRACE_ERR(AppErr::kNotReady, "SetInitHcMLFromContext");
  const KsRef<HcContextHelper> context = m_hcContext;
  eAppErr err = WriteBackSources(context);
  if (!AppErrFailed(err)) err = SetViewsetName(context->GetViewsetName());
  if (!AppErrFailed(err)) err = SetViewsetHcML(context->GetHcMLAtPath(kCurrentViewsetPath));
  if (!AppErrFailed(err)) err = SetViewTweensHcML(context->GetHcMLAtPath(kTweensPath));
  if (!AppErrFailed(err)) err = SetInitialViewHcML(InitialViewOf(context));
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetInitHcMLFromContext");
  return AppErr::kNoErr;
}

// Each source of the scene updates the description that already holds it,
// or gets a new one at the end of the list: descriptions of sources added
// since loading are kept, and so is every existing description (with its
// class and settings).
eAppErr HcPresentation::WriteBackSources(const KsRef<HcContextHelper>& context) {
  KsRef<SourceCollection> sources = context->GetSources();
  if (!sources) return AppErr::kNoErr;
  KsRef<SourceDescriptionCollection> list = GetSourceList();
  for (uint32_t index = 0; index < sources->GetCount(); ++index) {
    KsRef<PanoSource> source;
    if (AppErrFailed(sources->GetByIndex(index, &source)) || !source) continue;
    KsRef<SourceDescription> description;
    for (uint32_t held = 0; held < list->GetCount() && !description; ++held) {
      KsRef<SourceDescription> candidate;
      if (!AppErrFailed(list->GetByIndex(held, &candidate)) && candidate && candidate->GetLiveSource() == source) {
        description = candidate;
      }
    }
    const bool isNew = !description;
    if (isNew) {
      description = KsMakeRef<SourceDescription>();
      description->SetLiveSource(source);
    }
    eAppErr err = description->SetInitHcMLFromSource(true);
    if (!AppErrFailed(err) && isNew) err = list->Add(description);
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "WriteBackSources");
  }
  return AppErr::kNoErr;
}

// The main panoramic view's look direction, written through the view proxy
// so that loading it sets whatever view is then the main one.
PWStringRef HcPresentation::InitialViewOf(const KsRef<HcContextHelper>& context) {
  if (!context->GetMainView().DynamicCast<PanoView>()) return nullptr;
  auto emitter = KsMakeRef<XMLStringEmitter>();
  auto properties = KsMakeRef<KsStringCollection>();
  for (const char* name : {"PanAngle", "TiltAngle", "VFOV"}) properties->Add(PWStringRef(name));
  auto writer = KsMakeRef<ObjectWriter>();
  writer->SetEmitter(emitter);
  writer->SetContextObject(context);
  writer->SetExtendByReference(true);
  writer->SetExplicitPropertyList(properties);
  if (AppErrFailed(writer->SetTargetPath(kViewProxyPath))) return nullptr;
  // Written as the proxy it is, whose class relays the view's values (which
  // are not serialized by themselves); read back, the reference reaches the
  // proxy of the scene.
  writer->SetXsiTypeName(nullptr);
  writer->SetIncludeNonSerialized(true);
  if (AppErrFailed(writer->WriteObject())) return nullptr;
  return emitter->GetOutputString();
}
