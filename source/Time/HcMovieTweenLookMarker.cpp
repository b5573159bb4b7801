#include "Time/HcMovieTweenLookMarker.h"

#include "KsTrace.h"

HcMovieTweenLookMarker::HcMovieTweenLookMarker() = default;

HcMovieTweenLookMarker::~HcMovieTweenLookMarker() {
  m_left = nullptr;
  m_right = nullptr;
}

int32_t HcMovieTweenLookMarker::GetMarkerType() const {
  if (m_left && m_right) return m_left == m_right ? kWaypoint : kCut;
  if (m_right) return kIn;
  if (m_left) return kOut;
  return kUnknown;
}

eAppErr HcMovieTweenLookMarker::SetMarkerType(int32_t) { return KS_TRACE_ERR(AppErr::kNotReady, "SetMarkerType"); }

const char* HcMovieTweenLookMarker::ShortTypeName(int32_t type) {
  switch (type) {
    case kIn: return "In";
    case kOut: return "Out";
    case kCut: return "Cut";
    case kWaypoint: return "Way";
    default: return "?";
  }
}

const char* HcMovieTweenLookMarker::LongTypeName(int32_t type) {
  switch (type) {
    case kIn: return "In";
    case kOut: return "Out";
    case kCut: return "Cut";
    case kWaypoint: return "Waypoint";
    default: return "";
  }
}

eAppErr HcMovieTweenLookMarker::SetTimeValue(int64_t value) {
  DidChangeCaller change(this, kTimeValueId);
  m_timeValue = value;
  return AppErr::kNoErr;
}

eAppErr HcMovieTweenLookMarker::SetLeftLookDirection(const KsRef<LookDirectionValue>& direction) {
  DidChangeCaller change(this, kLeftLookDirectionId);
  m_left = direction;
  return AppErr::kNoErr;
}

eAppErr HcMovieTweenLookMarker::SetRightLookDirection(const KsRef<LookDirectionValue>& direction) {
  DidChangeCaller change(this, kRightLookDirectionId);
  m_right = direction;
  return AppErr::kNoErr;
}

eAppErr HcMovieTweenLookMarker::SetLeftIsImplicit(bool implicit) {
  DidChangeCaller change(this, kLeftIsImplicitId);
  m_leftIsImplicit = implicit;
  return AppErr::kNoErr;
}

eAppErr HcMovieTweenLookMarker::SetRightIsImplicit(bool implicit) {
  DidChangeCaller change(this, kRightIsImplicitId);
  m_rightIsImplicit = implicit;
  return AppErr::kNoErr;
}

eAppErr HcMovieTweenLookMarker::SetRightPanPolarity(int32_t polarity) {
  DidChangeCaller change(this, kRightPanPolarityId);
  m_rightPanPolarity = polarity;
  return AppErr::kNoErr;
}
