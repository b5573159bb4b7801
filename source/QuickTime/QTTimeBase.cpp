#include "QuickTime/QTTimeBase.h"

#include <cmath>

#include "QuickTime/QuickTimeHelpers.h"
#include "platform/playback/TimeBase.h"

namespace {

int32_t ToFixed(double value) {
  const double scaled = std::floor(value * 65536.0 + 0.5);
  if (!(scaled >= INT32_MIN)) return INT32_MIN;
  if (scaled > INT32_MAX) return INT32_MAX;
  return static_cast<int32_t>(scaled);
}

double FromFixed(int32_t value) { return static_cast<double>(value) / 65536.0; }

}  // namespace

QTTimeBase::QTTimeBase() = default;
QTTimeBase::~QTTimeBase() = default;

eAppErr QTTimeBase::SetTimeBase(void* timeBase) {
  DidChangeCaller change(this, kTimeBaseId);
  m_timeBase = static_cast<hc::playback::TimeBase*>(timeBase);
  return AppErr::kNoErr;
}

int64_t QTTimeBase::SecondsToCount(double seconds) {
  const double count = seconds * kTimeScale + 0.5;
  if (!(count > static_cast<double>(INT64_MIN))) return INT64_MIN;
  if (count >= static_cast<double>(INT64_MAX)) return INT64_MAX;
  return static_cast<int64_t>(count);
}

float QTTimeBase::GetRate() const {
  return m_timeBase ? static_cast<float>(FromFixed(ToFixed(m_timeBase->Rate()))) : 0.0f;
}

eAppErr QTTimeBase::SetRate(float rate) {
  if (!m_timeBase) return KS_TRACE_ERR(AppErr::kNotReady, "SetRate");
  m_timeBase->SetRate(FromFixed(ToFixed(rate)));
  return AppErr::kNoErr;
}

double QTTimeBase::GetStartTime() const {
  int64_t count = 0;
  GetTimeBaseStartTime64(m_timeBase, kTimeScale, &count);
  return static_cast<double>(count) / 1000.0;
}

eAppErr QTTimeBase::SetStartTime(double seconds) {
  if (!m_timeBase) return KS_TRACE_ERR(AppErr::kNotReady, "SetStartTime");
  SetTimeBaseStartTime64(m_timeBase, kTimeScale, SecondsToCount(seconds));
  return AppErr::kNoErr;
}

double QTTimeBase::GetStopTime() const {
  int64_t count = 0;
  GetTimeBaseStopTime64(m_timeBase, kTimeScale, &count);
  return static_cast<double>(count) / 1000.0;
}

eAppErr QTTimeBase::SetStopTime(double seconds) {
  if (!m_timeBase) return KS_TRACE_ERR(AppErr::kNotReady, "SetStopTime");
  SetTimeBaseStopTime64(m_timeBase, kTimeScale, SecondsToCount(seconds));
  return AppErr::kNoErr;
}

double QTTimeBase::GetCurrentTime() const {
  int64_t count = 0;
  GetTimeBaseTime64(m_timeBase, kTimeScale, &count);
  return static_cast<double>(count) / 1000.0;
}

eAppErr QTTimeBase::SetCurrentTime(double seconds) {
  if (!m_timeBase) return KS_TRACE_ERR(AppErr::kNotReady, "SetCurrentTime");
  SetTimeBaseTime64(m_timeBase, kTimeScale, SecondsToCount(seconds));
  return AppErr::kNoErr;
}
