#include "QuickTime/QuickTimeHelpers.h"

#include <new>

#include "KsTrace.h"

int MakeDataRefFromPWStringPath(const PWStringRef& path, hc::movie::DataReference* dataRef, uint32_t* dataRefType) {
  if (dataRef == nullptr || dataRefType == nullptr || path.IsNull()) {
    return hc::movie::PlaybackErrCode(hc::movie::PlaybackErr::BadArgument);
  }
  hc::movie::DataReference made;
  const hc::movie::PlaybackErr err = hc::movie::DataReference::FromPath(path.Str(), &made);
  if (hc::movie::PlaybackFailed(err)) return hc::movie::PlaybackErrCode(err);
  *dataRef = std::move(made);
  *dataRefType = dataRef->Type();
  return 0;
}

eAppErr MakeURLDataRefHandle(const PWStringRef& url, hc::movie::DataReference* dataRef) {
  if (dataRef == nullptr) return KS_TRACE_ERR(AppErr::kBadArgument, "MakeURLDataRefHandle");
  const PWCStringPtr text(url);
  if (text.CStr() == nullptr) return KS_TRACE_ERR(AppErr::kBadArgument, "MakeURLDataRefHandle");
  hc::movie::DataReference made;
  if (hc::movie::PlaybackFailed(hc::movie::DataReference::FromUrl(text.CStr(), &made))) {
    return KS_TRACE_ERR(AppErr::kBadArgument, "MakeURLDataRefHandle");
  }
  *dataRef = std::move(made);
  return AppErr::kNoErr;
}

std::unique_ptr<hc::movie::Movie> QuickTimeHelpers::CreateEmptyMovie() {
  try {
    return hc::movie::Movie::CreateEmpty();
  } catch (const std::bad_alloc&) {
    KS_TRACE(KsTrace::kError, "Error creating new, empty movie: %i",
             hc::movie::PlaybackErrCode(hc::movie::PlaybackErr::OutOfMemory));
    return nullptr;
  }
}

void GetTimeBaseTime64(const hc::movie::TimeBase* timeBase, int32_t scale, int64_t* value) {
  if (value == nullptr) return;
  *value = timeBase != nullptr ? timeBase->GetTime(scale) : 0;
}

void SetTimeBaseTime64(hc::movie::TimeBase* timeBase, int32_t scale, int64_t value) {
  if (timeBase != nullptr) timeBase->SetTime(value, scale);
}

void GetTimeBaseStartTime64(const hc::movie::TimeBase* timeBase, int32_t scale, int64_t* value) {
  if (value == nullptr) return;
  *value = timeBase != nullptr ? timeBase->GetStartTime(scale) : 0;
}

void SetTimeBaseStartTime64(hc::movie::TimeBase* timeBase, int32_t scale, int64_t value) {
  if (timeBase != nullptr) timeBase->SetStartTime(value, scale);
}

void GetTimeBaseStopTime64(const hc::movie::TimeBase* timeBase, int32_t scale, int64_t* value) {
  if (value == nullptr) return;
  *value = timeBase != nullptr ? timeBase->GetStopTime(scale) : 0;
}

void SetTimeBaseStopTime64(hc::movie::TimeBase* timeBase, int32_t scale, int64_t value) {
  if (timeBase != nullptr) timeBase->SetStopTime(value, scale);
}
