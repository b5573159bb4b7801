#pragma once

#include "KsAppErr.h"
#include "PWString.h"

class ParseLocation;

// Receives the warnings of a parse. Owned by whoever hands it to a parser;
// the parser never frees it.
class ParseReporter {
 public:
  virtual ~ParseReporter() = default;
  // The location may be null.
  virtual void AddWarning(const ParseLocation* location, eAppErr code, const PWStringRef& message) = 0;
};
