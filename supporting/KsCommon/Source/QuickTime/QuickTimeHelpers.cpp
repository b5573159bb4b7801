#include "QuickTime/QuickTimeHelpers.h"

#include <new>

#include "KsTrace.h"

int MakeDataRefFromPWStringPath(const PWStringRef& path, hc::playback::DataReference* dataRef, uint32_t* dataRefType) {
  if (dataRef == nullptr || dataRefType == nullptr || path.IsNull()) {
    return hc::playback::PlaybackErrCode(hc::playback::PlaybackErr::BadArgument);
  }
  hc::playback::DataReference made;
  const hc::playback::PlaybackErr err = hc::playback::DataReference::FromPath(path.Str(), &made);
  if (hc::playback::PlaybackFailed(err)) return hc::playback::PlaybackErrCode(err);
  *dataRef = std::move(made);
  *dataRefType = dataRef->Type();
  return 0;
}

eAppErr MakeURLDataRefHandle(const PWStringRef& url, hc::playback::DataReference* dataRef) {
  if (dataRef == nullptr) return KS_TRACE_ERR(AppErr::kBadArgument, "MakeURLDataRefHandle");
  const PWCStringPtr text(url);
  if (text.CStr() == nullptr) return KS_TRACE_ERR(AppErr::kBadArgument, "MakeURLDataRefHandle");
  hc::playback::DataReference made;
  if (hc::playback::PlaybackFailed(hc::playback::DataReference::FromUrl(text.CStr(), &made))) {
    return KS_TRACE_ERR(AppErr::kBadArgument, "MakeURLDataRefHandle");
  }
  *dataRef = std::move(made);
  return AppErr::kNoErr;
}

std::unique_ptr<hc::playback::Movie> QuickTimeHelpers::CreateEmptyMovie() {
  try {
    return hc::playback::Movie::CreateEmpty();
  } catch (const std::bad_alloc&) {
    KS_TRACE(KsTrace::kError, "Error creating new, empty movie: %i",
             hc::playback::PlaybackErrCode(hc::playback::PlaybackErr::OutOfMemory));
    return nullptr;
  }
}

void GetTimeBaseTime64(const hc::playback::TimeBase* timeBase, int32_t scale, int64_t* value) {
  if (value == nullptr) return;
  *value = timeBase != nullptr ? timeBase->GetTime(scale) : 0;
}

void SetTimeBaseTime64(hc::playback::TimeBase* timeBase, int32_t scale, int64_t value) {
  if (timeBase != nullptr) timeBase->SetTime(value, scale);
}

void GetTimeBaseStartTime64(const hc::playback::TimeBase* timeBase, int32_t scale, int64_t* value) {
  if (value == nullptr) return;
  *value = timeBase != nullptr ? timeBase->GetStartTime(scale) : 0;
}

void SetTimeBaseStartTime64(hc::playback::TimeBase* timeBase, int32_t scale, int64_t value) {
  if (timeBase != nullptr) timeBase->SetStartTime(value, scale);
}

void GetTimeBaseStopTime64(const hc::playback::TimeBase* timeBase, int32_t scale, int64_t* value) {
  if (value == nullptr) return;
  *value = timeBase != nullptr ? timeBase->GetStopTime(scale) : 0;
}

void SetTimeBaseStopTime64(hc::playback::TimeBase* timeBase, int32_t scale, int64_t value) {
  if (timeBase != nullptr) timeBase->SetStopTime(value, scale);
}
