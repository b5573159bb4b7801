#pragma once

#include <cstdint>

// The signed result of nearly every operation: 0 success, negative failure,
// positive values are statuses where an operation says so.
using eAppErr = int32_t;

namespace AppErr {
constexpr eAppErr kNoErr = 0;
constexpr eAppErr kGeneral = -1;
constexpr eAppErr kBadArgument = -2;
constexpr eAppErr kNotPermitted = -8;
constexpr eAppErr kCancelled = -23;
constexpr eAppErr kAllocationFailed = -100;
constexpr eAppErr kOutOfMemory = -101;
constexpr eAppErr kUnsupportedType = -102;
constexpr eAppErr kNotFound = -607;
constexpr eAppErr kIndexOutOfRange = -609;
constexpr eAppErr kOutOfRange = -901;
constexpr eAppErr kTextNotConvertible = -900;
constexpr eAppErr kNoValue = -902;
constexpr eAppErr kNotReady = -903;
constexpr eAppErr kAlreadyAssigned = -904;
}  // namespace AppErr

inline bool AppErrFailed(eAppErr err) { return err < 0; }
