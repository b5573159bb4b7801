#pragma once

// Result codes of the foundation layer. 0 is success, negative values fail.
// The codes follow the classic Mac OS values where one fits, so the model's
// OS-error translation maps them (BadArgument becomes -2); MalformedData has
// no classic counterpart.
namespace hc::foundation {

enum class FoundationErr : int {
  Ok = 0,
  BadArgument = -50,     // null pointer, wrong value type, a value the format can't carry
  OutOfMemory = -108,
  MalformedData = -4960,  // text that is not what it claims to be, or nested too deeply
};

constexpr bool FoundationFailed(FoundationErr err) { return static_cast<int>(err) < 0; }
constexpr int FoundationErrCode(FoundationErr err) { return static_cast<int>(err); }

// A short English name for logs and test output ("MalformedData").
const char* FoundationErrName(FoundationErr err);

}  // namespace hc::foundation
