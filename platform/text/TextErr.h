#pragma once

// Result codes of the text layer. 0 is success, negative values fail. The
// codes follow the classic Mac OS values where one fits (BadArgument is
// paramErr, OutOfMemory memFullErr).
namespace hc::text {

enum class TextErr : int {
  Ok = 0,
  BadArgument = -50,     // null output, a size or scale that is not a finite positive number
  OutOfMemory = -108,
  MalformedRtf = -4970,  // bytes that are not RTF, nest too deeply or exceed the reader's limits
  TooLarge = -4971,      // an image or layout beyond the rasteriser's limits
  NoFont = -4972,        // no usable font at all (not even the fallback)
};

constexpr bool TextFailed(TextErr err) { return static_cast<int>(err) < 0; }

// A short English name for logs and test output ("MalformedRtf").
const char* TextErrName(TextErr err);

}  // namespace hc::text
