#pragma once

#include <cstdint>
#include <type_traits>

namespace hc::gl {

// When a display refresh happens, in the display's video time and in host
// time. A plain record: holders copy it whole. A stamp whose video time scale
// is 0 carries no time.
struct DisplayTimeStamp {
  static constexpr uint32_t kCurrentVersion = 1;

  enum Flags : uint64_t {
    kVideoTimeValid = 1u << 0,
    kHostTimeValid = 1u << 1,
    kRateScalarValid = 1u << 2,
    kVideoRefreshPeriodValid = 1u << 3,
  };

  uint32_t version = 0;
  int32_t videoTimeScale = 0;      // video time units per second
  int64_t videoTime = 0;           // refreshes since the link started, in video time units
  uint64_t hostTime = 0;           // nanoseconds of the monotonic clock (CLOCK_MONOTONIC)
  double rateScalar = 0.0;         // actual refresh rate over the nominal one
  int64_t videoRefreshPeriod = 0;  // one refresh, in video time units
  uint64_t flags = 0;
};

static_assert(std::is_trivially_copyable_v<DisplayTimeStamp>);

}  // namespace hc::gl
