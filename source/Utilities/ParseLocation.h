#pragma once

#include "General/KsBaseObject.h"
#include "General/RefTempl.h"
#include "PWString.h"

// A position in the input of a parse (a text's line, a stream's offset),
// named in warnings. Each lexer has its own kind.
class ParseLocation : public KsBaseObject {
 public:
  using Ref = KsRef<ParseLocation>;

  // A new text describing the position.
  virtual PWStringRef CreateString() const = 0;
};
