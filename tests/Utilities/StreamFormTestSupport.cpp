#include "StreamFormTestSupport.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "General/HcClassMap.h"
#include "PWFormat.h"
#include <gtest/gtest.h>

#include "Utilities/AtomEmitter.h"
#include "Utilities/AtomLexer.h"
#include "Utilities/BinaryLexer.h"
#include "platform/foundation/PlistValue.h"
#include "Utilities/BinaryEmitter.h"
#include "Utilities/Lexer.h"
#include "Utilities/ObjectWriter.h"

namespace {

eAppErr Write(const KsRef<KsObject>& object, const char* rootElementName, bool includeNonSerialized,
              const KsRef<Emitter>& emitter) {
  auto writer = KsMakeRef<ObjectWriter>();
  writer->SetEmitter(emitter);
  writer->SetRootElementName(rootElementName);
  writer->SetIncludeNonSerialized(includeNonSerialized);
  writer->SetTargetObject(object);
  return writer->WriteObject();
}

}  // namespace

WrittenBytes WriteBinaryStream(const KsRef<KsObject>& object, const char* rootElementName,
                               bool includeNonSerialized) {
  WrittenBytes written;
  char* buffer = nullptr;
  size_t size = 0;
  FILE* stream = open_memstream(&buffer, &size);
  auto emitter = KsMakeRef<BinaryEmitter>();
  emitter->SetOutputFile(stream);
  written.result = Write(object, rootElementName, includeNonSerialized, emitter);
  // The emitter closed the stream at the end of the document.
  written.bytes.assign(reinterpret_cast<uint8_t*>(buffer), reinterpret_cast<uint8_t*>(buffer) + size);
  std::free(buffer);
  return written;
}

eAppErr WriteAtomContainer(const KsRef<KsObject>& object, const char* rootElementName,
                           hc::movfile::AtomContainer* container) {
  auto emitter = KsMakeRef<AtomEmitter>();
  emitter->SetAtomContainer(container);
  return Write(object, rootElementName, false, emitter);
}

WrittenBytes WriteAtomForm(const KsRef<KsObject>& object, const char* rootElementName, bool includeNonSerialized) {
  hc::movfile::AtomContainer container;
  auto emitter = KsMakeRef<AtomEmitter>();
  emitter->SetAtomContainer(&container);
  WrittenBytes written;
  written.result = Write(object, rootElementName, includeNonSerialized, emitter);
  written.bytes = Flatten(container);
  return written;
}

std::vector<uint8_t> Flatten(const hc::movfile::AtomContainer& container) {
  std::vector<uint8_t> bytes;
  container.Flatten(&bytes);
  return bytes;
}

eAppErr ParseBytes(const char* lexerClassName, const std::vector<uint8_t>& bytes, const KsRef<KsObject>& root,
                   ParseReporter* reporter, const KsRef<Emitter>& emitter) {
  auto parser = KsMakeRef<Parser>();
  parser->SetLexer(MakeObject<Lexer>(lexerClassName));
  parser->SetRootObject(root);
  parser->SetReporter(reporter);
  if (emitter) parser->SetEmitter(emitter);
  return parser->Parse(bytes.data(), bytes.size());
}

namespace {

std::string Floats(std::initializer_list<float> values) {
  std::string text;
  for (float value : values) text += PWStringCreateWithFormat(" %g", value).Str();
  return text;
}

}  // namespace

int32_t EventLog::OnBeginProperty(const PWStringRef& name) {
  events.push_back("begin " + name.Str());
  return Parser::OnBeginProperty(name);
}

void EventLog::OnSkipProperty() {
  events.push_back("skip");
  Parser::OnSkipProperty();
}

void EventLog::OnBeginObject(const KsRef<KsClassObject>& classObject, const PWStringRef& id,
                             const PWStringRef& href) {
  events.push_back("object " + (classObject ? classObject->GetName().Str() : std::string("?")) + " id=" +
                   (id.IsNull() ? "-" : id.Str()) + " href=" + (href.IsNull() ? "-" : href.Str()));
  Parser::OnBeginObject(classObject, id, href);
}

eAppErr EventLog::OnValue(float value) {
  events.push_back("float" + Floats({value}));
  return Parser::OnValue(value);
}
eAppErr EventLog::OnValue(double value) {
  events.push_back(PWStringCreateWithFormat("double %.17g", value).Str());
  return Parser::OnValue(value);
}
eAppErr EventLog::OnValue(uint32_t value) {
  events.push_back("uint " + std::to_string(value));
  return Parser::OnValue(value);
}
eAppErr EventLog::OnValue(int32_t value) {
  events.push_back("int " + std::to_string(value));
  return Parser::OnValue(value);
}
eAppErr EventLog::OnValue(bool value) {
  events.push_back(value ? "bool true" : "bool false");
  return Parser::OnValue(value);
}
eAppErr EventLog::OnValue(int64_t value) {
  events.push_back("int64 " + std::to_string(value));
  return Parser::OnValue(value);
}
eAppErr EventLog::OnValue(const KsRectF& v) {
  events.push_back("rect" + Floats({v.x, v.y, v.w, v.h}));
  return Parser::OnValue(v);
}
eAppErr EventLog::OnValue(const KsSizeF& v) {
  events.push_back("size" + Floats({v.w, v.h}));
  return Parser::OnValue(v);
}
eAppErr EventLog::OnValue(const KsPointF& v) {
  events.push_back("point" + Floats({v.x, v.y}));
  return Parser::OnValue(v);
}
eAppErr EventLog::OnValue(const KsColorF& v) {
  events.push_back("color" + Floats({v.r, v.g, v.b, v.a}));
  return Parser::OnValue(v);
}
eAppErr EventLog::OnValue(const PWStringRef& value) {
  events.push_back("text " + value.Str());
  return Parser::OnValue(value);
}
eAppErr EventLog::OnValue(const KsPropertyList& value) {
  events.push_back(value ? "plist" : "plist null");
  return Parser::OnValue(value);
}
void EventLog::OnEndProperty() {
  events.push_back("end");
  Parser::OnEndProperty();
}

void RegisterStreamFormClasses() {
  RegisterSerializationTestClasses();
  AtomEmitter::ClassGetClassObject();
  AtomLexer::ClassGetClassObject();
  BinaryEmitter::ClassGetClassObject();
  BinaryLexer::ClassGetClassObject();
}

void ExpectSameValues(const Sample& original, const Sample& copy) {
  EXPECT_EQ(original.GetName(), copy.GetName());
  EXPECT_EQ(original.GetFloat(), copy.GetFloat());
  EXPECT_EQ(original.GetInt(), copy.GetInt());
  EXPECT_EQ(original.GetUInt(), copy.GetUInt());
  EXPECT_EQ(original.GetText(), copy.GetText());
  EXPECT_EQ(original.GetFlag(), copy.GetFlag());
  EXPECT_EQ(original.GetPoint().x, copy.GetPoint().x);
  EXPECT_EQ(std::signbit(original.GetPoint().y), std::signbit(copy.GetPoint().y));
  EXPECT_EQ(original.GetSize().w, copy.GetSize().w);
  EXPECT_EQ(original.GetSize().h, copy.GetSize().h);
  EXPECT_EQ(original.GetRect().h, copy.GetRect().h);
  EXPECT_EQ(original.GetColor(), copy.GetColor());
  EXPECT_EQ(original.GetDouble(), copy.GetDouble());
  EXPECT_EQ(original.GetInt64(), copy.GetInt64());
  EXPECT_EQ(original.GetLimited(), copy.GetLimited());
  ASSERT_EQ(static_cast<bool>(original.GetPlist()), static_cast<bool>(copy.GetPlist()));
  if (original.GetPlist()) {
    EXPECT_EQ(*original.GetPlist().Value(), *copy.GetPlist().Value());
  }
}
