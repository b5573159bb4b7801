// A stand-in for the head tracker's vendor library: the same entry points,
// one tracker whose orientation and failures the tests script through the
// StubTracker_ functions.

#include <cstring>

#include "InputDevice/InterSenseTypes.h"

namespace {

struct State {
  int openCount = 0;
  float orientation[3] = {0.0f, 0.0f, 0.0f};
  bool failData = false;
  bool failStationGet = false;
  bool failStationSet = false;
  int resetHeadingCalls = 0;
  uint32_t model = 11;
  uint32_t type = 2;
  isense::StationInfo station{};
};

State& Stub() {
  static State state;
  return state;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) void StubTracker_Reset() {
  Stub() = State{};
  Stub().station.sensitivity = 3;
  Stub().station.prediction = 10;
}
__attribute__((visibility("default"))) void StubTracker_SetOrientation(float yaw, float pitch, float roll) {
  Stub().orientation[0] = yaw;
  Stub().orientation[1] = pitch;
  Stub().orientation[2] = roll;
}
__attribute__((visibility("default"))) void StubTracker_SetFailures(int data, int stationGet, int stationSet) {
  Stub().failData = data != 0;
  Stub().failStationGet = stationGet != 0;
  Stub().failStationSet = stationSet != 0;
}
__attribute__((visibility("default"))) void StubTracker_SetModel(uint32_t model, uint32_t type) {
  Stub().model = model;
  Stub().type = type;
}
__attribute__((visibility("default"))) int StubTracker_OpenCount() { return Stub().openCount; }
__attribute__((visibility("default"))) int StubTracker_ResetHeadingCalls() { return Stub().resetHeadingCalls; }

__attribute__((visibility("default"))) isense::Handle ISD_OpenTracker(uintptr_t, int32_t, isense::Bool,
                                                                       isense::Bool) {
  return ++Stub().openCount;
}
__attribute__((visibility("default"))) isense::Bool ISD_CloseTracker(isense::Handle handle) {
  if (handle <= 0 || Stub().openCount == 0) return 0;
  --Stub().openCount;
  return 1;
}
__attribute__((visibility("default"))) isense::Bool ISD_GetTrackerConfig(isense::Handle, isense::TrackerInfo* info,
                                                                          isense::Bool) {
  info->trackerModel = Stub().model;
  info->trackerType = Stub().type;
  return 1;
}
__attribute__((visibility("default"))) isense::Bool ISD_GetStationConfig(isense::Handle, isense::StationInfo* info,
                                                                          uint16_t station, isense::Bool) {
  if (Stub().failStationGet || station != 1) return 0;
  std::memcpy(info, &Stub().station, sizeof *info);
  return 1;
}
__attribute__((visibility("default"))) isense::Bool ISD_SetStationConfig(isense::Handle, isense::StationInfo* info,
                                                                          uint16_t station, isense::Bool) {
  if (Stub().failStationSet || station != 1) return 0;
  std::memcpy(&Stub().station, info, sizeof *info);
  return 1;
}
__attribute__((visibility("default"))) isense::Bool ISD_GetData(isense::Handle, isense::TrackerData* data) {
  if (Stub().failData) return 0;
  std::memcpy(data->station[0].orientation, Stub().orientation, sizeof Stub().orientation);
  return 1;
}
__attribute__((visibility("default"))) isense::Bool ISD_ResetHeading(isense::Handle, uint16_t) {
  ++Stub().resetHeadingCalls;
  return 1;
}
__attribute__((visibility("default"))) isense::Bool ISD_NumOpenTrackers(uint16_t* count) {
  *count = static_cast<uint16_t>(Stub().openCount);
  return 1;
}

// Entries the program binds but never calls.
#define HC_STUB_ENTRY(name) \
  __attribute__((visibility("default"))) isense::Bool name() { return 0; }
HC_STUB_ENTRY(ISD_OpenAllTrackers)
HC_STUB_ENTRY(ISD_GetCommInfo)
HC_STUB_ENTRY(ISD_SetTrackerConfig)
HC_STUB_ENTRY(ISD_GetCameraData)
HC_STUB_ENTRY(ISD_SendScript)
HC_STUB_ENTRY(ISD_Boresight)
HC_STUB_ENTRY(ISD_BoresightReferenced)
HC_STUB_ENTRY(ISD_GetTime)
HC_STUB_ENTRY(ISD_ConfigureFromFile)
HC_STUB_ENTRY(ISD_AuxOutput)
HC_STUB_ENTRY(ISD_UdpBroadcastData)
HC_STUB_ENTRY(ISD_GetSystemHardwareInfo)
HC_STUB_ENTRY(ISD_GetStationHardwareInfo)
}
