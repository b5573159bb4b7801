#include "InterfaceCommon/HcProjectSource.h"

#include "KsTrace.h"
#include "Utilities/HcPropertyBinding.h"

namespace {
const PWStringRef kRootPath("hc://");
const PWStringRef kPathProperty("Path");
}  // namespace

HcProjectSource::HcProjectSource() = default;
HcProjectSource::~HcProjectSource() = default;

eAppErr HcProjectSource::SetCopySoundTrack(bool copy) {
  DidChangeCaller change(this, kCopySoundTrackId);
  m_copySoundTrack = copy;
  return AppErr::kNoErr;
}

eAppErr HcProjectSource::SetEmbedDataInSample(bool embed) {
  DidChangeCaller change(this, kEmbedDataInSampleId);
  m_embedDataInSample = embed;
  return AppErr::kNoErr;
}

eAppErr HcProjectSource::SetSourceMoviePath(const PWStringRef& path) {
  DidChangeCaller change(this, kSourceMoviePathId);
  m_sourceMoviePath = path;
  return AppErr::kNoErr;
}

eAppErr HcProjectSource::SetSourceName(uint32_t name) {
  DidChangeCaller change(this, kSourceNameId);
  m_sourceName = name;
  return AppErr::kNoErr;
}

eAppErr HcProjectSource::SetInitSourceFromHcML(bool apply) {
  eAppErr err = SourceDescription::SetInitSourceFromHcML(apply);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetInitSourceFromHcML");
  if (!apply || !m_sourceMoviePath) return err;
  err = HcPropertyBinding::SetPropertyValue(m_sourceMoviePath, kRootPath, kPathProperty, GetLiveSource());
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetInitSourceFromHcML");
  return err;
}

// False does nothing, as it does for the other actions.
eAppErr HcProjectSource::SetInitHcMLFromSource(bool write) {
  eAppErr err = SourceDescription::SetInitHcMLFromSource(write);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetInitHcMLFromSource");
  if (!write) return err;
  PWStringRef path;
  err = HcPropertyBinding::GetPropertyValue(&path, kRootPath, kPathProperty, GetLiveSource());
  if (!AppErrFailed(err)) err = SetSourceMoviePath(path);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetInitHcMLFromSource");
  return err;
}
