#pragma once

// Writing and reading the binary stream and the atom-container form in the
// suites of their emitters and lexers.

#include <cstdint>
#include <string>
#include <vector>

#include "General/KsObject.h"
#include "SerializationTestClasses.h"
#include "SerializationTestSupport.h"
#include "Utilities/Emitter.h"
#include "Utilities/ParseReporter.h"
#include "Utilities/Parser.h"
#include "platform/movfile/AtomContainer.h"

struct WrittenBytes {
  eAppErr result = 0;
  std::vector<uint8_t> bytes;
};

// The object written by an ObjectWriter under the root element name.
WrittenBytes WriteBinaryStream(const KsRef<KsObject>& object, const char* rootElementName,
                               bool includeNonSerialized = false);
WrittenBytes WriteAtomForm(const KsRef<KsObject>& object, const char* rootElementName,
                           bool includeNonSerialized = false);
// A container filled by an ObjectWriter (not flattened).
eAppErr WriteAtomContainer(const KsRef<KsObject>& object, const char* rootElementName,
                           hc::movfile::AtomContainer* container);

// Parses the bytes into the root object with a new lexer of the class
// ("BinaryLexer", "AtomLexer"); answers Parse's result.
eAppErr ParseBytes(const char* lexerClassName, const std::vector<uint8_t>& bytes, const KsRef<KsObject>& root,
                   ParseReporter* reporter = nullptr, const KsRef<Emitter>& emitter = KsRef<Emitter>());
std::vector<uint8_t> Flatten(const hc::movfile::AtomContainer& container);

// A parser that writes down every event a lexer delivers before handling it.
class EventLog : public Parser {
 public:
  int32_t OnBeginProperty(const PWStringRef& name) override;
  void OnSkipProperty() override;
  void OnBeginObject(const KsRef<KsClassObject>& classObject, const PWStringRef& id,
                     const PWStringRef& href) override;
  eAppErr OnValue(float value) override;
  eAppErr OnValue(double value) override;
  eAppErr OnValue(uint32_t value) override;
  eAppErr OnValue(int32_t value) override;
  eAppErr OnValue(bool value) override;
  eAppErr OnValue(int64_t value) override;
  eAppErr OnValue(const KsRectF& value) override;
  eAppErr OnValue(const KsSizeF& value) override;
  eAppErr OnValue(const KsPointF& value) override;
  eAppErr OnValue(const KsColorF& value) override;
  eAppErr OnValue(const PWStringRef& value) override;
  eAppErr OnValue(const KsPropertyList& value) override;
  void OnEndProperty() override;

  std::vector<std::string> events;
};

// Registers the test classes and the stream classes.
void RegisterStreamFormClasses();

// Checks every value of the copy against the original.
void ExpectSameValues(const Sample& original, const Sample& copy);
