#pragma once

#include <cstddef>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "Utilities/ParseLocation.h"

class Parser;

// Reads one encoding of an object graph (HcML text, the binary stream, atom
// containers) and turns it into the events of a Parser: for every property,
// OnBeginProperty, then one OnValue, or OnBeginObject followed by the
// object's own properties, or OnSkipProperty; then OnEndProperty. Problems of
// the encoding go to Parser::ReportWarning. A lexer knows nothing of classes
// beyond finding them by name.
class Lexer : public KsObject {
  HC_CLASS_HEADER(Lexer)
 public:
  // Reads the whole buffer and delivers its events in document order; a
  // negative result aborts the parse.
  virtual eAppErr Parse(const KsRef<Parser>& parser, const void* bytes, size_t length) = 0;
  // A new location for the current input position; may be empty.
  virtual KsRef<ParseLocation> CreateLocation() = 0;
};
HC_CLASS_OBJECT(Lexer, KsObject)
