#include "Responder/ViewsetSelectorResponder.h"

#include <string>

#include "General/KsStringCollection.h"
#include "InterfaceCommon/Viewset.h"
#include "Responder/ResponderContext.h"

namespace {

const PWStringRef kViewProxyPath("hc://ViewProxy");
const char* const kCarriedProperties[3] = {"PanAngle", "TiltAngle", "VFOV"};
constexpr size_t kSchemeLength = 5;  // "hc://"

// The proxy's new target: the pseudo-root, a point and the main view's path
// without its scheme ("hc://View" and "hc://View" give "hc://View.View").
PWStringRef TargetPath(const PWStringRef& pseudoRoot, const PWStringRef& mainViewPath) {
  const std::string main = mainViewPath.IsNull() ? std::string("hc://View") : mainViewPath.Str();
  const std::string rest = main.size() > kSchemeLength ? main.substr(kSchemeLength) : std::string();
  return PWStringRef(pseudoRoot.Str() + "." + rest);
}

}  // namespace

ViewsetSelectorResponder::ViewsetSelectorResponder() = default;
ViewsetSelectorResponder::~ViewsetSelectorResponder() = default;

KsRef<KsObject> ViewsetSelectorResponder::GetContext() const {
  KsRef<KsObject> context = m_context ? m_context->GetTargetAs<KsObject>() : KsRef<KsObject>();
  return ResponderContext::Of(context) ? context : KsRef<KsObject>();
}

eAppErr ViewsetSelectorResponder::SetContext(const KsRef<KsObject>& context) {
  if (context && !ResponderContext::Of(context)) return KS_TRACE_ERR(AppErr::kBadArgument, "SetContext");
  m_context = WeakRef::GetWeakRef(context.Get());
  return AppErr::kNoErr;
}

KsRef<KsStringCollection> ViewsetSelectorResponder::GetViewsetNames() const { return m_viewsetNames; }

eAppErr ViewsetSelectorResponder::SetViewsetNames(const KsRef<KsStringCollection>& names) {
  m_viewsetNames = names;
  return AppErr::kNoErr;
}

eAppErr ViewsetSelectorResponder::SetPseudoRoot(const PWStringRef& root) {
  m_pseudoRoot = root;
  return AppErr::kNoErr;
}

bool ViewsetSelectorResponder::ButtonSelected(uint32_t index) {
  const uint32_t was = GetCurrentButtonIndex();
  KS_TRACE(KsTrace::kVerbose, "Radio button selected (now %u, was %u)", index, was);
  if (was == index) {
    KS_TRACE(KsTrace::kVerbose, "Ignoring switch to button %i since it's already selected", static_cast<int>(was));
    return true;
  }
  KsRef<KsObject> contextObject = GetContext();
  ResponderContext* context = ResponderContext::Of(contextObject);
  if (!context) {
    KS_TRACE(KsTrace::kError, "No context set!");
    return false;
  }
  const PWStringRef name = m_viewsetNames ? m_viewsetNames->GetByIndex(index) : PWStringRef();
  KsRef<Viewset> viewset;
  if (name.IsNull() || AppErrFailed(context->FindViewset(name, &viewset)) || !viewset) {
    KS_TRACE(KsTrace::kError, "Viewset didn't resolve to an actual object!");
    return false;
  }
  const PWStringRef hcml = viewset->GetViewHcML();
  if (hcml.IsNull()) {
    KS_TRACE(KsTrace::kError, "Viewset has no ViewHcML");
    return false;
  }

  // The look of the old main view, as far as it can be read.
  float values[3] = {};
  bool read[3] = {};
  for (int i = 0; i < 3; ++i) {
    read[i] = !AppErrFailed(context->GetFloatAtPath(kViewProxyPath, PWStringRef(kCarriedProperties[i]), &values[i]));
  }

  // Releases of keys and buttons held now will reach the new viewset's
  // responders, not the ones that started motions.
  context->StopInputTweens();
  eAppErr err = context->LoadHcMLAtRoot(hcml, m_pseudoRoot);
  if (AppErrFailed(err)) {
    KS_TRACE_ERR(err, "ButtonSelected");
    return false;
  }
  err = context->SetViewProxyTargetPath(TargetPath(m_pseudoRoot, viewset->GetMainViewPath()));
  if (AppErrFailed(err)) {
    KS_TRACE_ERR(err, "ButtonSelected");
    return false;
  }
  for (int i = 0; i < 3; ++i) {
    if (read[i]) context->SetFloatAtPath(kViewProxyPath, PWStringRef(kCarriedProperties[i]), values[i]);
  }
  return true;
}
