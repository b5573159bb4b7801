#include "InputDevice/InterSenseLibrary.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "KsTrace.h"

namespace {

constexpr const char* kEntryNames[] = {
    "ISD_OpenTracker",      "ISD_OpenAllTrackers",     "ISD_CloseTracker",     "ISD_GetCommInfo",
    "ISD_GetTrackerConfig", "ISD_SetTrackerConfig",    "ISD_GetStationConfig", "ISD_SetStationConfig",
    "ISD_GetData",          "ISD_GetCameraData",       "ISD_SendScript",       "ISD_NumOpenTrackers",
    "ISD_ResetHeading",     "ISD_Boresight",           "ISD_BoresightReferenced", "ISD_GetTime",
    "ISD_ConfigureFromFile", "ISD_AuxOutput",          "ISD_UdpBroadcastData", "ISD_GetSystemHardwareInfo",
    "ISD_GetStationHardwareInfo",
};

}  // namespace

InterSenseLibrary& InterSenseLibrary::Shared() {
  // Never destroyed: trackers may close during exit after other statics.
  static InterSenseLibrary* library = new InterSenseLibrary;
  return *library;
}

std::string InterSenseLibrary::LibraryName() {
  const char* name = std::getenv(kNameVariable);
  return name && *name ? std::string(name) : std::string(kDefaultName);
}

bool InterSenseLibrary::LoadLocked() {
  const std::string name = LibraryName();
  m_library = dlopen(name.c_str(), RTLD_NOW);
  if (!m_library) {
    std::printf("Could not load %s\n", name.c_str());
    std::fflush(stdout);
    KS_TRACE(KsTrace::kWarning, "Could not load %@: %@", name, dlerror());
    return false;
  }
  static_assert(std::size(kEntryNames) == kEntryCount);
  for (int i = 0; i < kEntryCount; ++i) {
    dlerror();
    void* entry = dlsym(m_library, kEntryNames[i]);
    m_entries[i] = dlerror() ? nullptr : entry;
  }
  return true;
}

void InterSenseLibrary::UnloadLocked() {
  m_entries.fill(nullptr);
  if (m_library) dlclose(m_library);
  m_library = nullptr;
}

isense::Handle InterSenseLibrary::OpenTracker(uintptr_t parent, int32_t commPort, bool infoScreen, bool verbose) {
  std::unique_lock lock(m_lock);
  if (!m_library && !LoadLocked()) return 0;
  auto open = EntryLocked<isense::OpenTrackerFn>(kOpenTracker);
  return open ? open(parent, commPort, infoScreen, verbose) : 0;
}

bool InterSenseLibrary::CloseTracker(isense::Handle handle) {
  std::unique_lock lock(m_lock);
  auto close = EntryLocked<isense::CloseTrackerFn>(kCloseTracker);
  if (!close) return false;
  const bool closed = close(handle) != 0;
  auto count = EntryLocked<isense::NumOpenTrackersFn>(kNumOpenTrackers);
  uint16_t open = 0;
  if (count && count(&open) && open == 0) UnloadLocked();
  return closed;
}

bool InterSenseLibrary::GetTrackerConfig(isense::Handle handle, isense::TrackerInfo* info, bool verbose) {
  std::shared_lock lock(m_lock);
  auto get = EntryLocked<isense::GetTrackerConfigFn>(kGetTrackerConfig);
  return get && get(handle, info, verbose) != 0;
}

bool InterSenseLibrary::GetStationConfig(isense::Handle handle, isense::StationInfo* info, uint16_t station,
                                         bool verbose) {
  std::shared_lock lock(m_lock);
  auto get = EntryLocked<isense::StationConfigFn>(kGetStationConfig);
  return get && get(handle, info, station, verbose) != 0;
}

bool InterSenseLibrary::SetStationConfig(isense::Handle handle, isense::StationInfo* info, uint16_t station,
                                         bool verbose) {
  std::shared_lock lock(m_lock);
  auto set = EntryLocked<isense::StationConfigFn>(kSetStationConfig);
  return set && set(handle, info, station, verbose) != 0;
}

bool InterSenseLibrary::GetData(isense::Handle handle, isense::TrackerData* data) {
  std::shared_lock lock(m_lock);
  auto get = EntryLocked<isense::GetDataFn>(kGetData);
  return get && get(handle, data) != 0;
}

bool InterSenseLibrary::ResetHeading(isense::Handle handle, uint16_t station) {
  std::shared_lock lock(m_lock);
  auto reset = EntryLocked<isense::ResetHeadingFn>(kResetHeading);
  return reset && reset(handle, station) != 0;
}

bool InterSenseLibrary::NumOpenTrackers(uint16_t* count) {
  std::shared_lock lock(m_lock);
  auto get = EntryLocked<isense::NumOpenTrackersFn>(kNumOpenTrackers);
  return get && get(count) != 0;
}

bool InterSenseLibrary::IsLoaded() const {
  std::shared_lock lock(m_lock);
  return m_library != nullptr;
}

int InterSenseLibrary::BoundEntryCount() const {
  std::shared_lock lock(m_lock);
  int count = 0;
  for (void* entry : m_entries) count += entry != nullptr;
  return count;
}
