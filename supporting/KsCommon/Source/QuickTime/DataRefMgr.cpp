#include "QuickTime/DataRefMgr.h"

#include "KsTrace.h"
#include "QuickTime/QuickTimeHelpers.h"

void DataRefMgr::SetSourceString(const PWStringRef& string, SourceTypes type) {
  m_sourceString = string;
  m_sourceType = type;
}

eAppErr DataRefMgr::SetPath(const PWStringRef& path) {
  if (path.IsNull()) return KS_TRACE_ERR(AppErr::kBadArgument, "SetPath");
  SetSourceString(path, kSourceTypePath);
  hc::playback::DataReference reference;
  uint32_t type = 0;
  const int osErr = MakeDataRefFromPWStringPath(path, &reference, &type);
  if (osErr != 0) {
    KS_TRACE(KsTrace::kError, "MakeDataRefFromPWStringPath failed %i", osErr);
    const eAppErr err = AppErrFromOSErr(osErr);
    return err < 0 ? KS_TRACE_ERR(err, "SetPath") : err;
  }
  if (reference.IsEmpty()) {
    m_dataRef.reset();
  } else {
    m_dataRef = std::move(reference);
  }
  m_dataRefType = m_dataRef ? type : 0;
  return AppErr::kNoErr;
}

eAppErr DataRefMgr::SetURL(const PWStringRef& url) {
  if (url.IsNull()) return KS_TRACE_ERR(AppErr::kBadArgument, "SetURL");
  SetSourceString(url, kSourceTypeURL);
  hc::playback::DataReference reference;
  m_dataRef.reset();
  m_dataRefType = 0;
  if (MakeURLDataRefHandle(url, &reference) == AppErr::kNoErr) {
    m_dataRef = std::move(reference);
    m_dataRefType = hc::playback::DataReference::kUrlType;
  }
  return AppErr::kNoErr;
}

eAppErr DataRefMgr::GetPath(PWStringRef* path) const {
  if (path == nullptr) return KS_TRACE_ERR(AppErr::kBadArgument, "GetPath");
  *path = nullptr;
  if (m_sourceType != kSourceTypePath) return AppErr::kNoValue;
  *path = m_sourceString;
  return AppErr::kNoErr;
}

eAppErr DataRefMgr::GetURL(PWStringRef* url) const {
  if (url == nullptr) return KS_TRACE_ERR(AppErr::kBadArgument, "GetURL");
  *url = nullptr;
  if (m_sourceType != kSourceTypeURL) return AppErr::kNoValue;
  *url = m_sourceString;
  return AppErr::kNoErr;
}
