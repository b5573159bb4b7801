#pragma once

#include <array>
#include <shared_mutex>
#include <string>

#include "InputDevice/InterSenseTypes.h"

// The head tracker's vendor library, loaded at run time: one per process,
// through which every tracker call of the program goes. It is loaded by the
// first open (from the file named by the environment variable
// HC_ISENSE_LIBRARY, else "libisense.so", found as dlopen finds libraries)
// and unloaded when the last tracker closes. Entry points are bound one by
// one; a call whose entry is missing fails (0).
//
// Calls may come from the main thread (open, close, settings) and the
// display-link thread (data): the entry table is guarded, calls holding it
// shared and loading and unloading holding it alone, so the library is never
// unloaded under a call.
class InterSenseLibrary {
 public:
  static constexpr const char* kDefaultName = "libisense.so";
  static constexpr const char* kNameVariable = "HC_ISENSE_LIBRARY";

  static InterSenseLibrary& Shared();

  // Loads the library when none is loaded; a handle > 0, or 0.
  isense::Handle OpenTracker(uintptr_t parent, int32_t commPort, bool infoScreen, bool verbose);
  // Closes the tracker; unloads the library when no tracker is left open.
  bool CloseTracker(isense::Handle handle);
  bool GetTrackerConfig(isense::Handle handle, isense::TrackerInfo* info, bool verbose);
  bool GetStationConfig(isense::Handle handle, isense::StationInfo* info, uint16_t station, bool verbose);
  bool SetStationConfig(isense::Handle handle, isense::StationInfo* info, uint16_t station, bool verbose);
  bool GetData(isense::Handle handle, isense::TrackerData* data);
  bool ResetHeading(isense::Handle handle, uint16_t station);
  bool NumOpenTrackers(uint16_t* count);

  bool IsLoaded() const;
  // The number of entry points bound (tests).
  int BoundEntryCount() const;
  // The file the next load opens.
  static std::string LibraryName();

 private:
  enum Entry {
    kOpenTracker,
    kOpenAllTrackers,
    kCloseTracker,
    kGetCommInfo,
    kGetTrackerConfig,
    kSetTrackerConfig,
    kGetStationConfig,
    kSetStationConfig,
    kGetData,
    kGetCameraData,
    kSendScript,
    kNumOpenTrackers,
    kResetHeading,
    kBoresight,
    kBoresightReferenced,
    kGetTime,
    kConfigureFromFile,
    kAuxOutput,
    kUdpBroadcastData,
    kGetSystemHardwareInfo,
    kGetStationHardwareInfo,
    kEntryCount,
  };

  InterSenseLibrary() = default;
  // With the table held alone.
  bool LoadLocked();
  void UnloadLocked();
  template <class Fn>
  Fn EntryLocked(Entry entry) const {
    return reinterpret_cast<Fn>(m_entries[entry]);
  }

  mutable std::shared_mutex m_lock;
  void* m_library = nullptr;
  std::array<void*, kEntryCount> m_entries{};
};
