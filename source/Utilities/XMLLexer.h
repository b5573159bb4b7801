#pragma once

#include <cstddef>
#include <string_view>
#include <unordered_map>

#include "General/KsClassMacros.h"
#include "Utilities/Lexer.h"
#include "Utilities/Parser.h"

struct _xmlNode;
struct _xmlError;

// Reads HcML text with libxml2 and delivers one property per element: an
// element whose property is object-typed names its class in xsi:type (any
// prefix) and may carry id and href; text runs are values. The text is taken
// as UTF-8 whatever it declares; external entities, DTDs and the network are
// never touched and entities are never expanded, in text or in attributes
// (an attribute holding an entity reference is refused with a warning).
// Documents larger than kMaxDocumentBytes, and documents with an element of
// more than kMaxAttributes attributes, are refused before libxml2 reads them.
//
// A document is read in one pass through libxml2's event (SAX) interface and
// its events are delivered only once the whole text proved well-formed, so a
// broken document delivers nothing. Documents with a document type
// declaration, or whose first bytes don't read as UTF-8, are read into
// libxml2's tree instead, which knows what a DTD adds to them.
class XMLLexer : public Lexer {
  HC_CLASS_HEADER(XMLLexer)
 public:
  // Deepest element nesting read (libxml2 stops earlier by itself).
  static constexpr int kMaxDepth = 256;
  static constexpr size_t kMaxDocumentBytes = 64u << 20;
  // HcML elements carry a handful; libxml2's own cost grows with the square.
  static constexpr size_t kMaxAttributes = 1000;

  XMLLexer();
  ~XMLLexer() override;

  // -2 without parser or bytes; -630 when no document element results.
  eAppErr Parse(const KsRef<Parser>& parser, const void* bytes, size_t length) override;
  // The line of the element being read, column 0.
  KsRef<ParseLocation> CreateLocation() override;

 private:
  class Recording;
  struct ObjectAttributes;

  eAppErr Replay(const Recording& recording);
  eAppErr ParseTree(const char* bytes, size_t length);
  eAppErr ParseProperty(_xmlNode* element, int depth);
  void BeginObject(const PWStringRef& name, const ObjectAttributes& attributes);
  void DeliverText(const char* text);
  // The element's name as a string, made once per distinct name: libxml2
  // keeps one copy of each name per document.
  const PWStringRef& NameOf(const _xmlNode* element);
  void OnXMLError(const _xmlError* error);
  void ReportXMLError(int line, int code, std::string_view message);
  static void OnXMLErrorThunk(void* context, _xmlError* error);

  int m_line = 0;
  KsRef<Parser> m_parser;
  // While a document is being recorded, libxml2's complaints wait in it.
  Recording* m_recording = nullptr;
  std::unordered_map<const void*, PWStringRef> m_names;
};
HC_CLASS_OBJECT(XMLLexer, Lexer)
