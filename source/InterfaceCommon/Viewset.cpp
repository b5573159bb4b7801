#include "InterfaceCommon/Viewset.h"

#include "General/KsObjectCollectionBase.h"
#include "General/KsStringCollection.h"
#include "General/ObjectCollection.h"
#include "InterfaceCommon/HcContextHelper.h"
#include "Utilities/FileAccessPolicy.h"
#include "Utilities/HcMLLoader.h"
#include "Utilities/HcPathResolver.h"
#include "View/HcView.h"

namespace {

const PWStringRef kPanoRegionName("PanoRegion");

// The objects the paths name inside the view, in list order.
KsRef<ObjectCollection> ResolveNamedObjects(const KsStringCollection& paths, const KsRef<HcView>& view) {
  auto objects = KsMakeRef<ObjectCollection>();
  auto resolver = KsMakeRef<HcPathResolver>();
  resolver->SetRootObject(view);
  for (uint32_t i = 0; i < paths.GetCount(); ++i) {
    objects->Add(resolver->GetObjectForPath(paths.GetByIndex(i)));
  }
  return objects;
}

}  // namespace

Viewset::Viewset() : m_loadLayer(kPanoRegionName) {}

Viewset::~Viewset() = default;

eAppErr Viewset::LoadView(const KsRef<HcContextHelper>& context) {
  if (m_viewHcML.IsNull()) {
    KS_TRACE(KsTrace::kError, "No viewset hcml");
    return KS_TRACE_ERR(AppErr::kNotReady, "LoadView");
  }
  auto loader = KsMakeRef<HcMLLoader>();
  loader->SetRootObject(KsRef<KsObject>(this));
  loader->SetPathRoot(context);
  loader->SetHcMLToLoad(m_viewHcML);
  const eAppErr result = loader->LoadHcML();
  if (AppErrFailed(result)) KS_TRACE(KsTrace::kError, "AppErr %d loading View HcML", result);

  KsRef<ObjectCollection> named;
  if (m_namedViewsetObjectPaths) named = ResolveNamedObjects(*m_namedViewsetObjectPaths, m_view);
  if (context) context->SetNamedViewsetObjects(named);
  if (AppErrFailed(result)) return KS_TRACE_ERR(result, "LoadView");
  return result;
}

eAppErr Viewset::SetViewsetType(int32_t type) {
  DidChangeCaller change(this, kViewsetTypeId);
  m_viewsetType = type;
  return AppErr::kNoErr;
}

eAppErr Viewset::SetLoadLayer(const PWStringRef& layer) {
  DidChangeCaller change(this, kLoadLayerId);
  m_loadLayer = layer;
  return AppErr::kNoErr;
}

eAppErr Viewset::SetProjectionEditorClassName(const PWStringRef& name) {
  DidChangeCaller change(this, kProjectionEditorClassNameId);
  m_projectionEditorClassName = name;
  return AppErr::kNoErr;
}

eAppErr Viewset::SetMainViewPath(const PWStringRef& path) {
  DidChangeCaller change(this, kMainViewPathId);
  m_mainViewPath = path;
  return AppErr::kNoErr;
}

eAppErr Viewset::SetKeyboardResponderPath(const PWStringRef& path) {
  DidChangeCaller change(this, kKeyboardResponderPathId);
  m_keyboardResponderPath = path;
  return AppErr::kNoErr;
}

KsRef<KsObjectCollectionBase> Viewset::GetViewsetImages() const { return m_viewsetImages; }

eAppErr Viewset::SetViewsetImages(const KsRef<KsObjectCollectionBase>& images) {
  if (images == m_viewsetImages) return AppErr::kNoErr;
  DidChangeCaller change(this, kViewsetImagesId);
  m_viewsetImages = images;
  return AppErr::kNoErr;
}

eAppErr Viewset::SetViewHcML(const PWStringRef& hcml) {
  DidChangeCaller change(this, kViewHcMLId);
  m_viewHcML = hcml;
  return AppErr::kNoErr;
}

eAppErr Viewset::SetViewHcMLPath(const PWStringRef& path) {
  PWStringRef text;
  const eAppErr err = FileAccessPolicy::Current().ReadText(path, &text);
  if (AppErrFailed(err)) return KS_TRACE_ERR(AppErr::kBadArgument, "SetViewHcMLPath");
  return SetViewHcML(text);
}

KsRef<HcView> Viewset::GetView() const { return m_view; }

eAppErr Viewset::SetView(const KsRef<HcView>& view) {
  if (view == m_view) return AppErr::kNoErr;
  DidChangeCaller change(this, kViewId);
  m_view = view;
  return AppErr::kNoErr;
}

KsRef<KsStringCollection> Viewset::GetNamedViewsetObjectPaths() const { return m_namedViewsetObjectPaths; }

eAppErr Viewset::SetNamedViewsetObjectPaths(const KsRef<KsStringCollection>& paths) {
  if (paths == m_namedViewsetObjectPaths) return AppErr::kNoErr;
  DidChangeCaller change(this, kNamedViewsetObjectPathsId);
  m_namedViewsetObjectPaths = paths;
  return AppErr::kNoErr;
}
