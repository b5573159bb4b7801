#include "Time/HcMovieTween.h"

#include <cinttypes>
#include <cstdio>

#include "General/AngleNormalization.h"
#include "KsTrace.h"
#include "Time/HcMovieTweenLookMarkerCollection.h"
#include "Time/HcTimeScale.h"
#include "Utilities/HcWeakPropertyBinding.h"

namespace {

__extension__ typedef __int128 WideInt;

// Writes the angle unless the property holds it already; whether it wrote.
bool WriteIfChanged(const KsRef<HcPropertyBindingBase>& binding, float angle) {
  if (!binding) return false;
  float current = 0.0f;
  if (!AppErrFailed(binding->GetValue(&current)) && current == angle) return false;
  return !AppErrFailed(binding->SetValue(angle));
}

KsRef<HcPropertyBindingBase> ViewBinding(const KsRef<KsObject>& view, const char* propertyName) {
  auto binding = KsMakeRef<HcWeakPropertyBinding>();
  binding->SetTargetObject(view);
  binding->SetPropertyName(propertyName);
  return binding;
}

// A direction as the table prints it, at most 20 characters.
std::string DirectionText(const KsRef<LookDirectionValue>& direction) {
  if (!direction) return {};
  char text[21];
  std::snprintf(text, sizeof text, "p%-3.1f t%-+2.1f z%-3.1f", static_cast<double>(direction->GetPanAngle()),
                static_cast<double>(direction->GetTiltAngle()), static_cast<double>(direction->GetVFOV()));
  return text;
}

}  // namespace

HcMovieTween::HcMovieTween() : m_markers(KsMakeRef<HcMovieTweenLookMarkerCollection>()) {}

HcMovieTween::~HcMovieTween() {
  m_timeScale = nullptr;
  m_vfovBinding = nullptr;
  m_tiltBinding = nullptr;
  m_panBinding = nullptr;
  m_bindToView = nullptr;
  m_markers = nullptr;
}

eAppErr HcMovieTween::Evaluate(double t, const KsRef<HcClock>& clock) {
  if (!GetEnabled()) return kNothingDone;
  return DoEvaluate(t, clock);
}

eAppErr HcMovieTween::DoEvaluate(double t, const KsRef<HcClock>&) {
  KsRef<HcTimeScale> timeScale = m_timeScale;
  if (!timeScale) return kNothingDone;
  KsRef<LookDirectionValue> direction = LookDirectionAtTime(timeScale->SecondsToTimeValue(t));
  if (!direction) return kNothingDone;
  bool wrote = WriteIfChanged(m_panBinding, direction->GetPanAngle());
  wrote = WriteIfChanged(m_tiltBinding, direction->GetTiltAngle()) || wrote;
  wrote = WriteIfChanged(m_vfovBinding, direction->GetVFOV()) || wrote;
  return wrote ? AppErr::kNoErr : kNothingDone;
}

uint32_t HcMovieTween::FindMarkerAtTime(int64_t t) const {
  const uint32_t count = m_markers ? m_markers->GetCount() : 0;
  for (uint32_t i = 0; i < count; ++i) {
    KsRef<HcMovieTweenLookMarker> marker = m_markers->GetByIndex(i);
    if (marker && marker->GetTimeValue() >= t) return i;
  }
  return count;
}

KsRef<LookDirectionValue> HcMovieTween::LookDirectionAtTime(int64_t time) {
  KsRef<HcMovieTweenLookMarkerCollection> markers = m_markers;
  if (!markers) return {};
  const uint32_t i = FindMarkerAtTime(time);
  if (i >= markers->GetCount()) return {};
  KsRef<HcMovieTweenLookMarker> b = markers->GetByIndex(i);
  if (b->GetTimeValue() == time) return b->GetLeftLookDirection();
  if (i == 0) return {};
  KsRef<HcMovieTweenLookMarker> a = markers->GetByIndex(i - 1);
  if (!a || a->GetMarkerType() == HcMovieTweenLookMarker::kOut) return {};
  return InterpolateMarkers(*a, *b, time);
}

KsRef<LookDirectionValue> HcMovieTween::InterpolateMarkers(const HcMovieTweenLookMarker& a,
                                                           const HcMovieTweenLookMarker& b, int64_t t) {
  auto result = KsMakeRef<LookDirectionValue>();
  const double u = static_cast<double>(static_cast<WideInt>(t) - a.GetTimeValue()) /
                   static_cast<double>(static_cast<WideInt>(b.GetTimeValue()) - a.GetTimeValue());
  // A missing direction stands as a fresh one (pan 0, tilt 0, VFOV 90).
  KsRef<LookDirectionValue> from = a.GetRightLookDirection() ? a.GetRightLookDirection() : result;
  KsRef<LookDirectionValue> to = b.GetLeftLookDirection() ? b.GetLeftLookDirection() : result;
  float pa = from->GetPanAngle();
  float pb = to->GetPanAngle();
  const double fromTilt = from->GetTiltAngle(), toTilt = to->GetTiltAngle();
  const double fromVfov = from->GetVFOV(), toVfov = to->GetVFOV();
  NormalizeDegreesInPlace(pa, pb);
  auto blend = [u](double x, double y) { return static_cast<float>((1.0 - u) * x + u * y); };
  result->SetPanAngle(blend(pa, pb));
  result->SetTiltAngle(blend(fromTilt, toTilt));
  result->SetVFOV(blend(fromVfov, toVfov));
  return result;
}

eAppErr HcMovieTween::ValidationFailure(eAppErr err) {
  TraceTween();
  return err;
}

eAppErr HcMovieTween::Validate() {
  const uint32_t count = m_markers ? m_markers->GetCount() : 0;
  int64_t previousTime = -1;
  int32_t previousType = HcMovieTweenLookMarker::kUnknown;
  for (uint32_t k = 0; k < count; ++k) {
    KsRef<HcMovieTweenLookMarker> marker = m_markers->GetByIndex(k);
    const int64_t time = marker->GetTimeValue();
    const int32_t type = marker->GetMarkerType();
    if (!(time > previousTime)) {
      KS_TRACE(KsTrace::kError, "Tween %p:  Marker at index %d has invalid time (%lld < %lld)",
               static_cast<void*>(this), static_cast<int>(k), static_cast<long long>(time),
               static_cast<long long>(previousTime));
      return ValidationFailure(-7);
    }
    if (k == 0) {
      if (type != HcMovieTweenLookMarker::kIn) {
        KS_TRACE(KsTrace::kError, "Tween %p:  First marker is not an in marker (markerType == %s)",
                 static_cast<void*>(this), HcMovieTweenLookMarker::LongTypeName(type));
        return ValidationFailure(AppErr::kBadArgument);
      }
    } else if (k == count - 1) {
      if (type != HcMovieTweenLookMarker::kOut) {
        KS_TRACE(KsTrace::kError, "Tween %p:  Last marker is not an out marker (markerType == %s,  index == %d)",
                 static_cast<void*>(this), HcMovieTweenLookMarker::LongTypeName(type), static_cast<int>(k));
        return ValidationFailure(AppErr::kBadArgument);
      }
    } else {
      using M = HcMovieTweenLookMarker;
      bool refused = false;
      if (type == M::kIn) {
        refused = previousType == M::kUnknown || previousType == M::kIn || previousType == M::kWaypoint;
      } else if (type != M::kUnknown) {
        refused = previousType == M::kOut;
      }
      if (refused) {
        KS_TRACE(KsTrace::kError, "Tween %p:  %s marker %d illegally follows %s marker.", static_cast<void*>(this),
                 M::LongTypeName(type), static_cast<int>(k), M::LongTypeName(previousType));
        return ValidationFailure(AppErr::kBadArgument);
      }
    }
    previousTime = time;
    previousType = type;
  }
  return AppErr::kNoErr;
}

eAppErr HcMovieTween::TraceTween() {
  std::printf("Tween %p:  Time Scale: %d\n", static_cast<void*>(this), m_timeScale ? m_timeScale->GetTimeScale() : 0);
  std::printf("   Timestamp | Type |   Left Direction     |   Right Direction    |\n");
  const uint32_t count = m_markers ? m_markers->GetCount() : 0;
  for (uint32_t i = 0; i < count; ++i) {
    KsRef<HcMovieTweenLookMarker> marker = m_markers->GetByIndex(i);
    std::printf("    %08lld | %-4s | %-20s | %-20s |\n", static_cast<long long>(marker->GetTimeValue()),
                HcMovieTweenLookMarker::ShortTypeName(marker->GetMarkerType()),
                DirectionText(marker->GetLeftLookDirection()).c_str(),
                DirectionText(marker->GetRightLookDirection()).c_str());
  }
  std::fflush(stdout);
  return AppErr::kNoErr;
}

eAppErr HcMovieTween::ResetStartEndTimes() {
  const uint32_t count = m_markers ? m_markers->GetCount() : 0;
  if (count == 0) {
    SetStartTime(0.0);
    SetEndTime(0.0);
    return AppErr::kNoErr;
  }
  if (!m_timeScale) return KS_TRACE_ERR(AppErr::kBadArgument, "ResetStartEndTimes");
  SetStartTime(m_timeScale->TimeValueToSeconds(m_markers->GetByIndex(0)->GetTimeValue()));
  SetEndTime(m_timeScale->TimeValueToSeconds(m_markers->GetByIndex(count - 1)->GetTimeValue()));
  return AppErr::kNoErr;
}

eAppErr HcMovieTween::SetMarkers(const KsRef<HcMovieTweenLookMarkerCollection>& markers) {
  DidChangeCaller change(this, kMarkersId);
  m_markers = markers;
  return AppErr::kNoErr;
}

eAppErr HcMovieTween::SetBindToView(const KsRef<KsObject>& view) {
  DidChangeCaller change(this, kBindToViewId);
  m_bindToView = view;
  m_panBinding = ViewBinding(view, "PanAngle");
  m_tiltBinding = ViewBinding(view, "TiltAngle");
  m_vfovBinding = ViewBinding(view, "VFOV");
  return AppErr::kNoErr;
}

eAppErr HcMovieTween::SetTimeScale(const KsRef<HcTimeScale>& timeScale) {
  DidChangeCaller change(this, kTimeScaleId);
  m_timeScale = timeScale;
  return AppErr::kNoErr;
}

eAppErr HcMovieTween::SetPanBinding(const KsRef<HcPropertyBindingBase>& binding) {
  DidChangeCaller change(this, kPanBindingId);
  m_panBinding = binding;
  return AppErr::kNoErr;
}

eAppErr HcMovieTween::SetTiltBinding(const KsRef<HcPropertyBindingBase>& binding) {
  DidChangeCaller change(this, kTiltBindingId);
  m_tiltBinding = binding;
  return AppErr::kNoErr;
}

eAppErr HcMovieTween::SetVFOVBinding(const KsRef<HcPropertyBindingBase>& binding) {
  DidChangeCaller change(this, kVFOVBindingId);
  m_vfovBinding = binding;
  return AppErr::kNoErr;
}
