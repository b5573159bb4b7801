#pragma once

#include <cstddef>
#include <cstdint>

#include "General/KsClassMacros.h"
#include "Utilities/Lexer.h"
#include "Utilities/Parser.h"
#include "platform/movfile/AtomContainer.h"

// Reads the atom-container form of an object graph (see AtomEmitter) from
// the bytes of a flattened container and drives a Parser: per property of a
// parent atom, by atom id, its name, then its value by the stored type code,
// or its object (class, id, href) and the object's own properties.
//
// A container whose sizes, counts or nesting don't add up, a property whose
// atoms don't match, a value of the wrong size and names or texts that are
// not UTF-8 end the parse with -630. An object of an unknown class, or an
// object value for a property the class lacks (or doesn't hold objects in),
// is skipped with a warning.
class AtomLexer : public Lexer {
  HC_CLASS_HEADER(AtomLexer)
 public:
  AtomLexer();
  ~AtomLexer() override;

  // -2 without a parser (or without bytes when length is not 0).
  eAppErr Parse(const KsRef<Parser>& parser, const void* bytes, size_t length) override;
  // Containers have no positions worth naming: always empty.
  KsRef<ParseLocation> CreateLocation() override;

 private:
  using Atom = hc::movfile::AtomContainer::Atom;

  eAppErr ParseObject(Atom parent);
  eAppErr ParseProperty(Atom parent, size_t index);
  eAppErr ParseObjectValue(Atom parent, uint32_t id, Atom valueAtom, int32_t isObject, const PWStringRef& name);
  eAppErr ParseValue(int32_t type, Atom valueAtom);
  // The atom's bytes as text (null for no atom, and after a trace when the
  // atom can't be read); -630 when they are not UTF-8.
  eAppErr GetAtomText(Atom atom, PWStringRef* text);
  eAppErr Fail(const PWStringRef& message);

  const hc::movfile::AtomContainer* m_container = nullptr;
  KsRef<Parser> m_parser;
};
HC_CLASS_OBJECT(AtomLexer, Lexer)
