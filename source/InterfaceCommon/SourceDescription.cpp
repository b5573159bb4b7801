#include "InterfaceCommon/SourceDescription.h"

#include "KsTrace.h"
#include "Utilities/ParseFunctions.h"
#include "Utilities/XMLStringEmitter.h"

SourceDescription::SourceDescription() = default;
SourceDescription::~SourceDescription() = default;

eAppErr SourceDescription::SetLiveSource(const KsRef<PanoSource>& source) {
  if (source == m_liveSource) return AppErr::kNoErr;
  DidChangeCaller change(this, kLiveSourceId);
  m_liveSource = source;
  return AppErr::kNoErr;
}

eAppErr SourceDescription::SetProjectionHcML(const PWStringRef& hcml) {
  DidChangeCaller change(this, kProjectionHcMLId);
  m_projectionHcML = hcml;
  return AppErr::kNoErr;
}

eAppErr SourceDescription::SetTweenHcML(const PWStringRef& hcml) {
  DidChangeCaller change(this, kTweenHcMLId);
  m_tweenHcML = hcml;
  return AppErr::kNoErr;
}

eAppErr SourceDescription::ReadTextFile(const PWStringRef& path, PWStringRef* text) const {
  return m_fileAccess.NarrowedBy(FileAccessPolicy::Current()).ReadText(path, text);
}

eAppErr SourceDescription::SetProjectionHcMLPath(const PWStringRef& path) {
  DidChangeCaller change(this, kProjectionHcMLPathId);
  PWStringRef text;
  if (AppErrFailed(ReadTextFile(path, &text))) return KS_TRACE_ERR(AppErr::kBadArgument, "SetProjectionHcMLPath");
  return SetProjectionHcML(text);
}

eAppErr SourceDescription::SetTweenHcMLPath(const PWStringRef& path) {
  DidChangeCaller change(this, kTweenHcMLPathId);
  PWStringRef text;
  if (AppErrFailed(ReadTextFile(path, &text))) return KS_TRACE_ERR(AppErr::kBadArgument, "SetTweenHcMLPath");
  return SetTweenHcML(text);
}

eAppErr SourceDescription::SetInitSourceFromHcML(bool apply) {
  if (!apply) return AppErr::kNoErr;
  if (!m_liveSource) return KS_TRACE_ERR(AppErr::kNotReady, "SetInitSourceFromHcML");
  // Whatever the texts make stays as restricted as this description.
  FileAccessPolicy::Scope scope(m_fileAccess);
  const KsRef<KsObject> root = m_liveSource;
  eAppErr err = AppErr::kNoErr;
  // The texts' top elements ("Projection", "Tweens") name the source's properties.
  if (m_projectionHcML) {
    err = ParseObjectWithRoot(m_projectionHcML, root, nullptr, nullptr);
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetInitSourceFromHcML");
  }
  if (m_tweenHcML) {
    err = ParseObjectWithRoot(m_tweenHcML, root, nullptr, nullptr);
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetInitSourceFromHcML");
  }
  return err;
}

namespace {

// The object as HcML under the root element name; none for no object. A
// writer failure is an error, never an empty text.
eAppErr WriteAsHcML(const KsRef<KsObject>& object, const char* rootElementName, PWStringRef* text) {
  *text = nullptr;
  if (!object) return AppErr::kNoErr;
  *text = WriteObjectToHcMLString(object, rootElementName);
  return text->IsNull() ? AppErr::kGeneral : AppErr::kNoErr;
}

}  // namespace

eAppErr SourceDescription::SetInitHcMLFromSource(bool write) {
  if (!write) return AppErr::kNoErr;
  if (!m_liveSource) return KS_TRACE_ERR(AppErr::kNotReady, "SetInitHcMLFromSource");
  PWStringRef projection;
  eAppErr err = WriteAsHcML(m_liveSource->GetProjection(), "Projection", &projection);
  if (!AppErrFailed(err)) err = SetProjectionHcML(projection);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetInitHcMLFromSource");
  PWStringRef tweens;
  err = WriteAsHcML(m_liveSource->GetTweens(), "Tweens", &tweens);
  if (!AppErrFailed(err)) err = SetTweenHcML(tweens);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetInitHcMLFromSource");
  return AppErr::kNoErr;
}
