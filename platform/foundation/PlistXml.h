#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/foundation/FoundationErr.h"
#include "platform/foundation/PlistValue.h"

namespace hc::foundation {

// XML text of property-list values (the "plist" document with its DOCTYPE),
// read and written in the C locale whatever the process locale is.
class PlistXml {
 public:
  // Deepest nesting of values read or written: the value directly inside
  // "plist" is level 1, the items of a container one level below it.
  static constexpr int kMaxDepth = 128;
  // Dates are kept in 32-bit seconds from 2001 by the XML library, so only
  // these years read back faithfully.
  static constexpr int kFirstYear = 1933;
  static constexpr int kLastYear = 2068;

  // Parses a whole property-list document. On failure *out is unchanged:
  // BadArgument for a null out, MalformedData for text that is not
  // well-formed XML in UTF-8 (whatever it declares), is no property list,
  // nests deeper than kMaxDepth, or holds a date outside the years
  // kFirstYear..kLastYear.
  static FoundationErr Read(std::string_view xml, PlistValue* out);

  // Writes a document holding the value. On failure *out is unchanged:
  // BadArgument for a null out or value, a value that XML can't carry (text
  // that is not UTF-8 or holds characters XML 1.0 excludes, such as NUL and
  // control characters other than tab, line feed and carriage return; a date
  // beyond 32-bit seconds from 2001), or nesting deeper than kMaxDepth.
  static FoundationErr Write(const PlistValue& value, std::string* out);
};

}  // namespace hc::foundation
