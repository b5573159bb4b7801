#pragma once

// The records and entry points of the head tracker's vendor library as this
// program calls them. Only the fields named here are read or written; each
// record carries reserved room beyond them for a library that fills more.

#include <cstdint>

namespace isense {

using Handle = int32_t;
using Bool = int32_t;

constexpr int kMaxStations = 8;

struct TrackerInfo {
  float libVersion;
  uint32_t trackerType;   // 1 precision series, 2 InterTrax series
  uint32_t trackerModel;  // 1 to 11, see the device
  uint32_t port;
  uint32_t reserved[252];
};

struct StationInfo {
  uint32_t id;
  Bool state;
  Bool compass;          // 0 to 2
  int32_t inertiaCube;
  uint32_t enhancement;  // 0 to 2
  uint32_t sensitivity;  // 1 to 4
  uint32_t prediction;   // milliseconds, 0 to 50
  uint32_t angleFormat;
  uint32_t reserved[248];
};

struct StationData {
  uint8_t trackingStatus;
  uint8_t padding[3];
  float orientation[3];  // yaw, pitch, roll in degrees
  float position[3];
  uint32_t reserved[249];
};

struct TrackerData {
  StationData station[kMaxStations];
};

extern "C" {
using OpenTrackerFn = Handle (*)(uintptr_t parent, int32_t commPort, Bool infoScreen, Bool verbose);
using CloseTrackerFn = Bool (*)(Handle handle);
using GetTrackerConfigFn = Bool (*)(Handle handle, TrackerInfo* info, Bool verbose);
using StationConfigFn = Bool (*)(Handle handle, StationInfo* info, uint16_t station, Bool verbose);
using GetDataFn = Bool (*)(Handle handle, TrackerData* data);
using ResetHeadingFn = Bool (*)(Handle handle, uint16_t station);
using NumOpenTrackersFn = Bool (*)(uint16_t* count);
}

}  // namespace isense
