#pragma once

#include <atomic>

#include "InputDevice/InputDevice.h"
#include "InputDevice/InterSenseTypes.h"
#include "PWString.h"

class PanoView;

// The head tracker: once opened, every refresh it reads the orientation of
// the tracker's first station and turns the context's main panoramic view:
// yaw drives the pan (relative to the heading taken at Reset), pitch the
// tilt, and roll, negated, the skew. The tracker is reached through its
// vendor's library (InterSenseLibrary); without it, opening fails and the
// device has nothing to do.
class InterSenseInputDevice : public InputDevice {
  HC_CLASS_HEADER(InterSenseInputDevice)
 public:
  enum : int32_t {
    kTrackerModelId = 300,
    kTrackerTypeId = 301,
    kEnhancementModeId = 302,
    kSensitivityId = 303,
    kCompassId = 304,
    kPredictionId = 305,
  };
  static constexpr uint16_t kStation = 1;

  InterSenseInputDevice();
  ~InterSenseInputDevice() override;

  // 2 when not open, without a context, when the main view is not panoramic
  // or the read fails; otherwise 0 after turning the view.
  eAppErr Update() override;
  // Re-zeroes the tracker's heading and keeps the view looking where it
  // looks: later turns are measured from there.
  eAppErr Reset() override;

  // 0, or -1 when no tracker could be opened (the library missing included).
  eAppErr OpenTracker();
  // -903 when not open; otherwise closes (under the renderer's draw lock, so
  // no refresh is reading it) and answers 0, -1 when the library refused.
  eAppErr CloseTracker();
  // Yaw, pitch and roll of the first station, degrees: -903 when not open,
  // -1 when the read fails (nothing written).
  eAppErr ReadOrientation(float* x, float* y, float* z);
  bool IsOpen() const { return m_handle.load() > 0; }

  PWStringRef GetTrackerModel() const;
  PWStringRef GetTrackerType() const;
  // Read from the tracker each time; 0 when it can't be read.
  int32_t GetEnhancementMode() const;
  int32_t GetSensitivity() const;
  int32_t GetCompass() const;
  int32_t GetPrediction() const;
  // -2 out of range (0-2, 1-4, 0-2, 0-50 ms), -903 when not open, -1 when
  // the tracker's settings can't be read or written; else 0.
  eAppErr SetEnhancementMode(int32_t mode);
  eAppErr SetSensitivity(int32_t sensitivity);
  eAppErr SetCompass(int32_t compass);
  eAppErr SetPrediction(int32_t prediction);

  float GetHeadingOffset() const { return m_headingOffset.load(); }

  static const char* ModelName(uint32_t model);
  static const char* TypeName(uint32_t type);

 private:
  KsRef<PanoView> MainPanoView() const;
  bool ReadStation(isense::StationInfo* station) const;
  eAppErr SetStationField(int32_t propertyId, int32_t value, int32_t low, int32_t high,
                          uint32_t isense::StationInfo::*field, const char* method);
  int32_t GetStationField(uint32_t isense::StationInfo::*field) const;

  std::atomic<isense::Handle> m_handle{0};
  isense::TrackerInfo m_info{};
  std::atomic<float> m_headingOffset{0.0f};
};
HC_CLASS_OBJECT(InterSenseInputDevice, InputDevice)
