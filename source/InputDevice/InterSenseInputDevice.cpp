#include "InputDevice/InterSenseInputDevice.h"

#include "General/AngleNormalization.h"
#include "InputDevice/InterSenseLibrary.h"
#include "Renderer/PanoRenderer.h"
#include "Responder/ResponderContext.h"
#include "View/PanoView.h"

namespace {

// The renderer's draw lock of the device's context, when there is one.
KsRef<PanoRenderer> RendererOf(const KsRef<KsObject>& context) {
  ResponderContext* scene = ResponderContext::Of(context);
  return scene ? scene->GetRenderer() : KsRef<PanoRenderer>();
}

}  // namespace

InterSenseInputDevice::InterSenseInputDevice() = default;

InterSenseInputDevice::~InterSenseInputDevice() {
  if (IsOpen()) CloseTracker();
}

const char* InterSenseInputDevice::ModelName(uint32_t model) {
  static constexpr const char* kNames[] = {"IS-300 Series", "IS-600 Series",  "IS-900 Series",    "InterTrax 30",
                                           "InterTrax2",    "InterTraxLS",    "InterTraxLC",      "InertiaCube2",
                                           "InertiaCube2 Pro", "IS-1200 Series", "InertiaCube3"};
  return model >= 1 && model <= std::size(kNames) ? kNames[model - 1] : "Unknown";
}

const char* InterSenseInputDevice::TypeName(uint32_t type) {
  if (type == 1) return "IS Precision Series";
  if (type == 2) return "InterTrax Series";
  return "Unknown";
}

PWStringRef InterSenseInputDevice::GetTrackerModel() const { return PWStringRef(ModelName(m_info.trackerModel)); }

PWStringRef InterSenseInputDevice::GetTrackerType() const { return PWStringRef(TypeName(m_info.trackerType)); }

eAppErr InterSenseInputDevice::OpenTracker() {
  InterSenseLibrary& library = InterSenseLibrary::Shared();
  const isense::Handle handle = library.OpenTracker(0, 0, false, true);
  if (handle <= 0) {
    m_handle = 0;
    return KS_TRACE_ERR(AppErr::kGeneral, "OpenTracker");
  }
  m_info = isense::TrackerInfo{};
  library.GetTrackerConfig(handle, &m_info, true);
  m_handle = handle;
  return AppErr::kNoErr;
}

eAppErr InterSenseInputDevice::CloseTracker() {
  if (!IsOpen()) return KS_TRACE_ERR(AppErr::kNotReady, "CloseTracker");
  RendererDrawLockScope drawLock(RendererOf(GetContext()));
  const isense::Handle handle = m_handle.exchange(0);
  if (!InterSenseLibrary::Shared().CloseTracker(handle)) return KS_TRACE_ERR(AppErr::kGeneral, "CloseTracker");
  return AppErr::kNoErr;
}

eAppErr InterSenseInputDevice::ReadOrientation(float* x, float* y, float* z) {
  const isense::Handle handle = m_handle.load();
  if (handle <= 0) return KS_TRACE_ERR(AppErr::kNotReady, "ReadOrientation");
  isense::TrackerData data{};
  if (!InterSenseLibrary::Shared().GetData(handle, &data)) return KS_TRACE_ERR(AppErr::kGeneral, "ReadOrientation");
  const float* orientation = data.station[0].orientation;
  if (x) *x = orientation[0];
  if (y) *y = orientation[1];
  if (z) *z = orientation[2];
  return AppErr::kNoErr;
}

KsRef<PanoView> InterSenseInputDevice::MainPanoView() const {
  KsRef<KsObject> context = GetContext();
  ResponderContext* scene = ResponderContext::Of(context);
  return scene ? scene->GetMainView().DynamicCast<PanoView>() : KsRef<PanoView>();
}

eAppErr InterSenseInputDevice::Update() {
  if (!IsOpen() || !GetContext()) return kNothingDone;
  KsRef<PanoView> view = MainPanoView();
  if (!view) return kNothingDone;
  float yaw = 0.0f;
  float pitch = 0.0f;
  float roll = 0.0f;
  // A read that fails leaves the view where it is, like a refresh with
  // nothing new.
  if (AppErrFailed(ReadOrientation(&yaw, &pitch, &roll))) return kNothingDone;
  view->SetPanAngle(NormalizeDegrees(yaw + m_headingOffset.load()));
  view->SetTiltAngle(pitch);
  view->SetSkew(-roll);
  return AppErr::kNoErr;
}

eAppErr InterSenseInputDevice::Reset() {
  KsRef<PanoView> view = MainPanoView();
  const isense::Handle handle = m_handle.load();
  if (handle <= 0 || !view) return AppErr::kNoErr;
  InterSenseLibrary::Shared().ResetHeading(handle, kStation);
  m_headingOffset = view->GetPanAngle();
  return AppErr::kNoErr;
}

bool InterSenseInputDevice::ReadStation(isense::StationInfo* station) const {
  const isense::Handle handle = m_handle.load();
  *station = isense::StationInfo{};
  return handle > 0 && InterSenseLibrary::Shared().GetStationConfig(handle, station, kStation, false);
}

int32_t InterSenseInputDevice::GetStationField(uint32_t isense::StationInfo::*field) const {
  isense::StationInfo station;
  return ReadStation(&station) ? static_cast<int32_t>(station.*field) : 0;
}

eAppErr InterSenseInputDevice::SetStationField(int32_t propertyId, int32_t value, int32_t low, int32_t high,
                                               uint32_t isense::StationInfo::*field, const char* method) {
  if (value < low || value > high) return KS_TRACE_ERR(AppErr::kBadArgument, method);
  if (!IsOpen()) return KS_TRACE_ERR(AppErr::kNotReady, method);
  isense::StationInfo station;
  if (!ReadStation(&station)) return KS_TRACE_ERR(AppErr::kGeneral, method);
  DidChangeCaller change(this, propertyId);
  station.*field = static_cast<uint32_t>(value);
  if (!InterSenseLibrary::Shared().SetStationConfig(m_handle.load(), &station, kStation, false)) {
    return KS_TRACE_ERR(AppErr::kGeneral, method);
  }
  return AppErr::kNoErr;
}

int32_t InterSenseInputDevice::GetEnhancementMode() const { return GetStationField(&isense::StationInfo::enhancement); }
int32_t InterSenseInputDevice::GetSensitivity() const { return GetStationField(&isense::StationInfo::sensitivity); }
int32_t InterSenseInputDevice::GetPrediction() const { return GetStationField(&isense::StationInfo::prediction); }

int32_t InterSenseInputDevice::GetCompass() const {
  isense::StationInfo station;
  return ReadStation(&station) ? station.compass : 0;
}

eAppErr InterSenseInputDevice::SetEnhancementMode(int32_t mode) {
  return SetStationField(kEnhancementModeId, mode, 0, 2, &isense::StationInfo::enhancement, "SetEnhancementMode");
}

eAppErr InterSenseInputDevice::SetSensitivity(int32_t sensitivity) {
  return SetStationField(kSensitivityId, sensitivity, 1, 4, &isense::StationInfo::sensitivity, "SetSensitivity");
}

eAppErr InterSenseInputDevice::SetPrediction(int32_t prediction) {
  return SetStationField(kPredictionId, prediction, 0, 50, &isense::StationInfo::prediction, "SetPrediction");
}

eAppErr InterSenseInputDevice::SetCompass(int32_t compass) {
  if (compass < 0 || compass > 2) return KS_TRACE_ERR(AppErr::kBadArgument, "SetCompass");
  if (!IsOpen()) return KS_TRACE_ERR(AppErr::kNotReady, "SetCompass");
  isense::StationInfo station;
  if (!ReadStation(&station)) return KS_TRACE_ERR(AppErr::kGeneral, "SetCompass");
  DidChangeCaller change(this, kCompassId);
  station.compass = compass;
  if (!InterSenseLibrary::Shared().SetStationConfig(m_handle.load(), &station, kStation, false)) {
    return KS_TRACE_ERR(AppErr::kGeneral, "SetCompass");
  }
  return AppErr::kNoErr;
}
