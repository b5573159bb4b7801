#include "Time/FloatSequenceTween.h"

#include <algorithm>

#include "General/FloatCollection.h"
#include "KsTrace.h"
#include "Time/FloatBindingTupleCollection.h"
#include "Utilities/HcPropertyBindingBase.h"

FloatSequenceTween::FloatSequenceTween() = default;
FloatSequenceTween::~FloatSequenceTween() = default;

int32_t FloatSequenceTween::LocateIndex(const FloatCollection& timestamps, double tt) {
  const int32_t last = static_cast<int32_t>(timestamps.GetCount()) - 1;
  // Index -1 (before the first timestamp) reads as time 0.
  auto at = [&timestamps](int32_t i) { return i < 0 ? 0.0 : static_cast<double>(timestamps.GetByIndex(i)); };
  int32_t i = std::min(m_index.load(std::memory_order_relaxed), last);
  while (i < last && at(i) < tt) ++i;
  while (i > -1 && at(i) > tt) --i;
  m_index.store(i, std::memory_order_relaxed);
  return i;
}

eAppErr FloatSequenceTween::GetValueForTime(const KsRef<FloatBindingTuple>& tuple, double t, float* value) {
  if (!m_timestamps || !m_bindings || !tuple || !value) return KS_TRACE_ERR(AppErr::kBadArgument, "GetValueForTime");
  const double tt = t + m_timeOffset;
  const int32_t i = LocateIndex(*m_timestamps, tt);
  KsRef<FloatCollection> floats = tuple->GetFloats();
  const int32_t n = static_cast<int32_t>(floats->GetCount());
  if (n == 0) {
    *value = 0.0f;
    return AppErr::kNoErr;
  }
  if (m_interpolator == kStep) {
    *value = floats->GetByIndex(static_cast<uint32_t>(std::min(std::max(i, 0), n - 1)));
  } else if (m_interpolator == kLinear) {
    if (i < 0) {
      *value = floats->GetByIndex(0);
    } else if (i >= n - 1) {
      *value = floats->GetByIndex(static_cast<uint32_t>(n - 1));
    } else {
      const double t0 = m_timestamps->GetByIndex(static_cast<uint32_t>(i));
      const double t1 = m_timestamps->GetByIndex(static_cast<uint32_t>(i + 1));
      // Two keyframes at one time: the later one holds from that time on.
      const double u = t1 > t0 ? (tt - t0) / (t1 - t0) : 1.0;
      const double a = floats->GetByIndex(static_cast<uint32_t>(i));
      const double b = floats->GetByIndex(static_cast<uint32_t>(i + 1));
      *value = static_cast<float>(a * (1.0 - u) + u * b);
    }
  }
  return AppErr::kNoErr;
}

eAppErr FloatSequenceTween::DoEvaluate(double t, const KsRef<HcClock>&) {
  KsRef<FloatBindingTupleCollection> bindings = m_bindings;
  if (!m_timestamps || !bindings) return AppErr::kNoErr;
  float value = 0.0f;
  for (uint32_t i = 0; i < bindings->GetCount(); ++i) {
    KsRef<FloatBindingTuple> tuple = bindings->GetByIndex(i);
    if (!tuple) continue;
    eAppErr err = GetValueForTime(tuple, t, &value);
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "DoEvaluate");
    KsRef<HcPropertyBindingBase> binding = tuple->GetBinding();
    // A tuple that names no property has nothing to write.
    if (!binding) continue;
    err = binding->SetValue(value);
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "DoEvaluate");
  }
  return AppErr::kNoErr;
}

KsRef<FloatCollection> FloatSequenceTween::GetTimestamps() {
  if (!m_timestamps) m_timestamps = KsMakeRef<FloatCollection>();
  return m_timestamps;
}

eAppErr FloatSequenceTween::SetTimestamps(const KsRef<FloatCollection>& timestamps) {
  m_timestamps = timestamps;
  m_index.store(0, std::memory_order_relaxed);
  return AppErr::kNoErr;
}

KsRef<FloatBindingTupleCollection> FloatSequenceTween::GetBindings() {
  if (!m_bindings) m_bindings = KsMakeRef<FloatBindingTupleCollection>();
  return m_bindings;
}

eAppErr FloatSequenceTween::SetBindings(const KsRef<FloatBindingTupleCollection>& bindings) {
  m_bindings = bindings;
  return AppErr::kNoErr;
}

eAppErr FloatSequenceTween::SetTimeOffset(double offset) {
  m_timeOffset = offset;
  return AppErr::kNoErr;
}

eAppErr FloatSequenceTween::SetInterpolator(int32_t interpolator) {
  if (interpolator != kStep && interpolator != kLinear) return KS_TRACE_ERR(AppErr::kBadArgument, "SetInterpolator");
  m_interpolator = interpolator;
  return AppErr::kNoErr;
}
