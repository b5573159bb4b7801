#pragma once

#include <ostream>
#include <string>

#include "platform/foundation/PlistXml.h"

namespace hc::foundation {

// Shows values in test failures as their XML text.
inline void PrintTo(const PlistValue& value, std::ostream* os) {
  std::string xml;
  if (PlistXml::Write(value, &xml) == FoundationErr::Ok) {
    *os << xml;
  } else {
    *os << "<plist value of type " << static_cast<int>(value.GetType()) << ">";
  }
}

}  // namespace hc::foundation
