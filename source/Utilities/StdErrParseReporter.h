#pragma once

#include <string>

#include "Utilities/ParseReporter.h"

// Writes each parse warning as one line to standard error. Keeps no state, so
// parsers on several threads may share one.
class StdErrParseReporter : public ParseReporter {
 public:
  StdErrParseReporter() = default;
  void AddWarning(const ParseLocation* location, eAppErr code, const PWStringRef& message) override;

  // The line AddWarning writes, without writing it.
  static std::string FormatWarning(const ParseLocation* location, eAppErr code, const PWStringRef& message);
};
