// Feeds arbitrary text to the property-list reader; whatever it accepts must
// write back out and read again to the same value.

#include "platform/foundation/PlistXml.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using hc::foundation::FoundationErr;
using hc::foundation::PlistValue;
using hc::foundation::PlistXml;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  PlistValue value;
  if (PlistXml::Read(text, &value) != FoundationErr::Ok) return 0;
  std::string written;
  // Values read from text may still hold what XML can't carry (a control
  // character given as a character reference): those are refused, not lost.
  if (PlistXml::Write(value, &written) != FoundationErr::Ok) return 0;
  PlistValue reread;
  if (PlistXml::Read(written, &reread) != FoundationErr::Ok || !(reread == value)) {
    // NaN reals are never equal to themselves; everything else must be.
    if (written.find("<real>nan</real>") == std::string::npos) std::abort();
  }
  return 0;
}
