#include "Utilities/XMLLexer.h"

#include <libxml/encoding.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "General/HcClassMap.h"
#include "KsTrace.h"
#include "PWFormat.h"
#include "Utilities/FileParseLocation.h"

namespace {

constexpr int kReadOptions = XML_PARSE_NOCDATA | XML_PARSE_NONET;

std::string_view TrimmedText(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\n\r";
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::string_view TextOf(const xmlChar* text) {
  return text ? std::string_view(reinterpret_cast<const char*>(text)) : std::string_view();
}

// Skips from `from` past the first `closer`; npos when the text ends first.
size_t SkipPast(std::string_view text, size_t from, std::string_view closer) {
  const size_t found = text.find(closer, from);
  return found == std::string_view::npos ? found : found + closer.size();
}

// Skips a quoted run starting at `at` (the quotation mark); npos when open.
size_t SkipQuoted(std::string_view text, size_t at) {
  const size_t close = text.find(text[at], at + 1);
  return close == std::string_view::npos ? close : close + 1;
}

// Skips a declaration ("<!DOCTYPE …>" with its internal subset, whose
// declarations, comments and quoted values may hold '>').
size_t SkipDeclaration(std::string_view text, size_t at) {
  int brackets = 0;
  size_t i = at + 2;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '"' || c == '\'') {
      i = SkipQuoted(text, i);
    } else if (text.compare(i, 4, "<!--") == 0) {
      i = SkipPast(text, i + 4, "-->");
    } else if (text.compare(i, 2, "<?") == 0) {
      i = SkipPast(text, i + 2, "?>");
    } else if (c == '<') {
      ++brackets;
      ++i;
    } else if (c == '[') {
      ++brackets;
      ++i;
    } else if (c == ']') {
      --brackets;
      ++i;
    } else if (c == '>') {
      if (brackets <= 0) return i + 1;
      --brackets;
      ++i;
    } else {
      ++i;
    }
    if (i == std::string_view::npos) return i;
  }
  return std::string_view::npos;
}

// The most attributes any one start tag of the text has. Every attribute
// value is quoted, so counting the quoted runs of each tag is enough; a
// text that isn't well-formed may count wrong, but libxml2 refuses it then.
size_t MostAttributesInATag(std::string_view text) {
  size_t most = 0;
  size_t i = 0;
  while (i < text.size()) {
    i = text.find('<', i);
    if (i == std::string_view::npos) break;
    if (text.compare(i, 4, "<!--") == 0) {
      i = SkipPast(text, i + 4, "-->");
    } else if (text.compare(i, 9, "<![CDATA[") == 0) {
      i = SkipPast(text, i + 9, "]]>");
    } else if (text.compare(i, 2, "<?") == 0) {
      i = SkipPast(text, i + 2, "?>");
    } else if (text.compare(i, 2, "<!") == 0) {
      i = SkipDeclaration(text, i);
    } else {
      size_t count = 0;
      ++i;
      while (i < text.size() && text[i] != '>') {
        if (text[i] == '"' || text[i] == '\'') {
          i = SkipQuoted(text, i);
          if (i == std::string_view::npos) break;
          ++count;
        } else {
          ++i;
        }
      }
      if (count > most) most = count;
    }
  }
  return most;
}

// Whether the first bytes read as UTF-8 (or as nothing in particular). Then
// libxml2 is only told to ignore the declared encoding: naming UTF-8 would
// make it run every byte through a converter that changes nothing.
bool StartsAsUTF8(const char* bytes, size_t length) {
  const xmlCharEncoding start =
      xmlDetectCharEncoding(reinterpret_cast<const xmlChar*>(bytes), static_cast<int>(std::min<size_t>(length, 4)));
  return start == XML_CHAR_ENCODING_NONE || start == XML_CHAR_ENCODING_UTF8;
}

template <class... Args>
PWStringRef Format(std::string_view format, const Args&... args) {
  const PWFormatArg list[] = {PWFormatArg(args)...};
  return PWStringRef(PWFormatToString(format, list));
}

// libxml2 reads a document handed over in pieces faster than one handed over
// as a single block (it then neither copies nor shifts the whole text).
struct MemoryInput {
  const char* next;
  size_t left;
};

int ReadPiece(void* context, char* buffer, int length) {
  auto* input = static_cast<MemoryInput*>(context);
  const size_t count = std::min(input->left, static_cast<size_t>(std::max(length, 0)));
  std::memcpy(buffer, input->next, count);
  input->next += count;
  input->left -= count;
  return static_cast<int>(count);
}

int ClosePieces(void*) { return 0; }

}  // namespace

// The object attributes of an element by their local names, whatever their
// namespace prefix; the first of each name counts.
struct XMLLexer::ObjectAttributes {
  PWStringRef type;
  PWStringRef id;
  PWStringRef href;

  PWStringRef* SlotFor(std::string_view name) {
    if (name == "type") return &type;
    if (name == "id") return &id;
    if (name == "href") return &href;
    return nullptr;
  }
};

// ---------------------------------------------------------------------------
// Recording: the events of a document as libxml2's SAX interface reports them,
// in the order and shape a walk over libxml2's tree would find them (adjacent
// character runs joined into one text, comments and processing instructions
// between them), with libxml2's complaints.

class XMLLexer::Recording {
 public:
  enum class Kind : uint8_t { kBegin, kText, kEnd, kOther };
  struct Event {
    Kind kind;
    int line;        // begin: the element's line
    uint32_t index;  // begin: its name; other: its node type
    uint32_t offset;  // text: the run in m_texts; other: the node's name there
    uint32_t length;
    uint32_t attributes;  // begin: index in m_attributes, or kNone
  };
  struct Complaint {
    int line;
    int code;
    std::string message;
  };
  static constexpr uint32_t kNone = UINT32_MAX;

  // Reads the document. False when it has a document type declaration: its
  // events are then incomplete and the tree must be read instead.
  bool Record(const char* bytes, size_t length) {
    xmlSAXHandler handler;
    std::memset(&handler, 0, sizeof handler);
    handler.initialized = XML_SAX2_MAGIC;
    handler.startElementNs = &Recording::OnStartElement;
    handler.endElementNs = &Recording::OnEndElement;
    handler.characters = &Recording::OnCharacters;
    handler.ignorableWhitespace = &Recording::OnCharacters;
    handler.comment = &Recording::OnComment;
    handler.processingInstruction = &Recording::OnProcessingInstruction;
    handler.reference = &Recording::OnReference;
    handler.internalSubset = &Recording::OnDocumentType;
    handler.externalSubset = &Recording::OnDocumentType;
    MemoryInput input{bytes, length};
    m_context = xmlCreateIOParserCtxt(&handler, this, ReadPiece, ClosePieces, &input, XML_CHAR_ENCODING_NONE);
    if (!m_context) {
      m_failed = true;
      return true;
    }
    xmlCtxtUseOptions(m_context, kReadOptions | XML_PARSE_IGNORE_ENC);
    xmlParseDocument(m_context);
    m_wellFormed = m_context->wellFormed != 0;
    // libxml2 may keep entity declarations it read without telling us in a
    // document of its own, left to its caller.
    if (m_context->myDoc) {
      xmlFreeDoc(m_context->myDoc);
      m_context->myDoc = nullptr;
    }
    xmlFreeParserCtxt(m_context);
    m_context = nullptr;
    return !m_hasDocumentType;
  }

  void AddComplaint(int line, int code, std::string_view message) {
    Guard([&] { m_complaints.push_back(Complaint{line, code, std::string(message)}); });
  }

  // Whether the events are complete and make a document.
  bool IsComplete() const { return m_wellFormed && !m_failed && m_hasRoot; }
  bool RanOutOfMemory() const { return m_outOfMemory; }
  const std::vector<Event>& Events() const { return m_events; }
  const std::vector<Complaint>& Complaints() const { return m_complaints; }
  const PWStringRef& NameOf(const Event& event) const { return m_names[event.index]; }
  const ObjectAttributes& AttributesOf(const Event& event) const {
    static const ObjectAttributes kNoAttributes;
    return event.attributes == kNone ? kNoAttributes : m_attributes[event.attributes];
  }
  // NUL-terminated, as libxml2's own text.
  const char* TextOf(const Event& event) const { return m_texts.data() + event.offset; }

 private:
  static Recording& Of(void* context) { return *static_cast<Recording*>(context); }

  // Runs a step that may allocate; without memory the parse stops.
  template <class Step>
  void Guard(Step step) {
    if (m_failed) return;
    try {
      step();
    } catch (const std::bad_alloc&) {
      m_failed = m_outOfMemory = true;
      if (m_context) xmlStopParser(m_context);
    }
  }

  int CurrentLine() const { return m_context && m_context->input ? m_context->input->line : 0; }

  uint32_t AddText(std::string_view text) {
    const auto offset = static_cast<uint32_t>(m_texts.size());
    m_texts.append(text);
    m_texts.push_back('\0');
    return offset;
  }

  uint32_t NameIndex(const xmlChar* name) {
    auto found = m_nameIndex.find(name);
    if (found == m_nameIndex.end()) {
      found = m_nameIndex.emplace(name, static_cast<uint32_t>(m_names.size())).first;
      m_names.emplace_back(reinterpret_cast<const char*>(name));
    }
    return found->second;
  }

  // Attribute values reach SAX with entities replaced, except that an
  // ampersand stays written as "&#38;" (the tree builder turns it back).
  static PWStringRef AttributeValue(const xmlChar* begin, const xmlChar* end) {
    std::string_view value(reinterpret_cast<const char*>(begin), static_cast<size_t>(end - begin));
    if (value.find('&') == std::string_view::npos) return PWStringRef(value);
    std::string decoded;
    decoded.reserve(value.size());
    constexpr std::string_view kAmpersand = "&#38;";
    while (!value.empty()) {
      if (value.substr(0, kAmpersand.size()) == kAmpersand) {
        decoded += '&';
        value.remove_prefix(kAmpersand.size());
      } else {
        decoded += value.front();
        value.remove_prefix(1);
      }
    }
    return PWStringRef(std::move(decoded));
  }

  uint32_t AddAttributes(int count, const xmlChar** attributes) {
    uint32_t index = kNone;
    for (int i = 0; i < count; ++i) {
      const xmlChar** attribute = attributes + 5 * i;  // local name, prefix, URI, value, value end
      // An undeclared prefix stays part of the name ("q:type"), as in the tree.
      if (attribute[1] && !attribute[2]) continue;
      if (index == kNone) {
        // Only elements that may name an object need a record.
        const std::string_view name = ::TextOf(attribute[0]);
        if (name != "type" && name != "id" && name != "href") continue;
        index = static_cast<uint32_t>(m_attributes.size());
        m_attributes.emplace_back();
      }
      PWStringRef* slot = m_attributes[index].SlotFor(::TextOf(attribute[0]));
      if (slot && slot->IsNull()) *slot = AttributeValue(attribute[3], attribute[4]);
    }
    return index;
  }

  static void OnStartElement(void* context, const xmlChar* localName, const xmlChar*, const xmlChar*, int,
                             const xmlChar**, int attributeCount, int, const xmlChar** attributes) {
    Recording& self = Of(context);
    self.Guard([&] {
      self.m_hasRoot = true;
      ++self.m_depth;
      self.m_textOpen = false;
      const uint32_t attributeIndex = self.AddAttributes(attributeCount, attributes);
      self.m_events.push_back(
          Event{Kind::kBegin, self.CurrentLine(), self.NameIndex(localName), 0, 0, attributeIndex});
    });
  }

  static void OnEndElement(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
    Recording& self = Of(context);
    self.Guard([&] {
      --self.m_depth;
      self.m_textOpen = false;
      self.m_events.push_back(Event{Kind::kEnd, 0, 0, 0, 0, kNone});
    });
  }

  static void OnCharacters(void* context, const xmlChar* characters, int length) {
    Recording& self = Of(context);
    if (self.m_depth == 0 || length <= 0) return;
    self.Guard([&] {
      const std::string_view text(reinterpret_cast<const char*>(characters), static_cast<size_t>(length));
      if (self.m_textOpen) {
        // The run goes on: the text so far is the last thing in m_texts.
        self.m_texts.pop_back();
        self.m_texts.append(text);
        self.m_texts.push_back('\0');
        self.m_events.back().length += static_cast<uint32_t>(length);
        return;
      }
      self.m_events.push_back(Event{Kind::kText, 0, 0, self.AddText(text), static_cast<uint32_t>(length), kNone});
      self.m_textOpen = true;
    });
  }

  void AddOther(int type, const xmlChar* name) {
    if (m_depth == 0) return;  // outside the document element: not part of any property
    Guard([&] {
      m_textOpen = false;
      const std::string_view text = ::TextOf(name);
      m_events.push_back(
          Event{Kind::kOther, 0, static_cast<uint32_t>(type), AddText(text), static_cast<uint32_t>(text.size()), kNone});
    });
  }

  static void OnComment(void* context, const xmlChar*) {
    Of(context).AddOther(XML_COMMENT_NODE, reinterpret_cast<const xmlChar*>("comment"));
  }
  static void OnProcessingInstruction(void* context, const xmlChar* target, const xmlChar*) {
    Of(context).AddOther(XML_PI_NODE, target);
  }
  static void OnReference(void* context, const xmlChar* name) { Of(context).AddOther(XML_ENTITY_REF_NODE, name); }

  static void OnDocumentType(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
    Recording& self = Of(context);
    self.m_hasDocumentType = true;
    if (self.m_context) xmlStopParser(self.m_context);
  }

  xmlParserCtxtPtr m_context = nullptr;
  std::vector<Event> m_events;
  std::vector<Complaint> m_complaints;
  std::vector<PWStringRef> m_names;
  std::unordered_map<const xmlChar*, uint32_t> m_nameIndex;
  std::vector<ObjectAttributes> m_attributes;
  std::string m_texts;
  int m_depth = 0;
  bool m_textOpen = false;
  bool m_hasRoot = false;
  bool m_hasDocumentType = false;
  bool m_wellFormed = false;
  bool m_failed = false;
  bool m_outOfMemory = false;
};

// ---------------------------------------------------------------------------

XMLLexer::XMLLexer() = default;
XMLLexer::~XMLLexer() = default;

KsRef<ParseLocation> XMLLexer::CreateLocation() {
  return KsRef<ParseLocation>::Adopt(new FileParseLocation(m_line, 0));
}

void XMLLexer::OnXMLErrorThunk(void* context, _xmlError* error) {
  if (context && error) static_cast<XMLLexer*>(context)->OnXMLError(error);
}

void XMLLexer::OnXMLError(const _xmlError* error) {
  std::string_view message = error->message ? std::string_view(error->message) : std::string_view();
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.remove_suffix(1);
  if (m_recording) {
    m_recording->AddComplaint(error->line, error->code, message);
    return;
  }
  ReportXMLError(error->line, error->code, message);
}

void XMLLexer::ReportXMLError(int line, int code, std::string_view message) {
  KS_TRACE(KsTrace::kWarning, "Line %i Saw error code %i, message %s", line, code, message);
  m_line = line;
  if (m_parser) m_parser->ReportWarning(Parser::kParseWarning, Format("%s (%i)", message, code));
}

eAppErr XMLLexer::Parse(const KsRef<Parser>& parser, const void* bytes, size_t length) {
  if (!parser || !bytes || length == 0) return KS_TRACE_ERR(AppErr::kBadArgument, "Parse");
  if (length > kMaxDocumentBytes) {
    parser->ReportWarning(Parser::kParseWarning, Format("Document larger than %u bytes", kMaxDocumentBytes));
    return KS_TRACE_ERR(Parser::kParseWarning, "Parse");
  }
  const char* text = static_cast<const char*>(bytes);
  // libxml2 compares each attribute of a tag with every other one: a tag of
  // a few hundred thousand attributes would hold it for minutes.
  const size_t attributes = MostAttributesInATag(std::string_view(text, length));
  if (attributes > kMaxAttributes) {
    parser->ReportWarning(Parser::kParseWarning, Format("An element has %u attributes, more than %u",
                                                        static_cast<unsigned long long>(attributes), kMaxAttributes));
    return KS_TRACE_ERR(Parser::kParseWarning, "Parse");
  }

  m_parser = parser;
  eAppErr result = AppErr::kNoErr;
  if (StartsAsUTF8(text, length)) {
    Recording recording;
    m_recording = &recording;
    xmlSetStructuredErrorFunc(this, &XMLLexer::OnXMLErrorThunk);
    const bool recorded = recording.Record(text, length);
    xmlSetStructuredErrorFunc(nullptr, nullptr);
    m_recording = nullptr;
    result = recorded ? Replay(recording) : ParseTree(text, length);
  } else {
    result = ParseTree(text, length);
  }
  m_names.clear();
  m_parser = nullptr;
  if (AppErrFailed(result)) return KS_TRACE_ERR(result, "Parse");
  return result;
}

eAppErr XMLLexer::Replay(const Recording& recording) {
  if (recording.RanOutOfMemory()) return KS_TRACE_ERR(AppErr::kOutOfMemory, "Replay");
  for (const Recording::Complaint& complaint : recording.Complaints()) {
    ReportXMLError(complaint.line, complaint.code, complaint.message);
  }
  if (!recording.IsComplete()) return KS_TRACE_ERR(Parser::kParseWarning, "Replay");

  std::vector<int> openLines;  // of the elements entered and not yet left
  for (const Recording::Event& event : recording.Events()) {
    switch (event.kind) {
      case Recording::Kind::kBegin: {
        m_line = event.line;
        if (static_cast<int>(openLines.size()) >= kMaxDepth) {
          m_parser->ReportWarning(Parser::kParseWarning, "Elements nested too deeply");
          return KS_TRACE_ERR(Parser::kParseWarning, "Replay");
        }
        const PWStringRef& name = recording.NameOf(event);
        if (m_parser->OnBeginProperty(name) == 1) BeginObject(name, recording.AttributesOf(event));
        openLines.push_back(event.line);
        break;
      }
      case Recording::Kind::kText:
        DeliverText(recording.TextOf(event));
        break;
      case Recording::Kind::kEnd:
        m_parser->OnEndProperty();
        openLines.pop_back();
        if (!openLines.empty()) m_line = openLines.back();
        break;
      case Recording::Kind::kOther:
        KS_TRACE(KsTrace::kVerbose, "Ignoring node type %i named %s", static_cast<int>(event.index),
                 recording.TextOf(event));
        break;
    }
  }
  return AppErr::kNoErr;
}

void XMLLexer::BeginObject(const PWStringRef& name, const ObjectAttributes& attributes) {
  const PWStringRef& type = attributes.type;
  KsRef<KsClassObject> classObject = type.IsNull() ? KsRef<KsClassObject>() : HcClassMap::FindClassObject(type);
  if (type.IsNull()) {
    m_parser->ReportWarning(Parser::kParseWarning, Format("Object-typed property without type specified: %@", name));
    m_parser->OnSkipProperty();
  } else if (!classObject) {
    m_parser->ReportWarning(Parser::kParseWarning, Format("Unknown object type: %@", type));
    m_parser->OnSkipProperty();
  } else {
    m_parser->OnBeginObject(classObject, attributes.id, attributes.href);
  }
}

void XMLLexer::DeliverText(const char* text) {
  const std::string_view trimmed = TrimmedText(text);
  if (!trimmed.empty()) m_parser->OnValue(PWStringRef(trimmed));
}

// ---------------------------------------------------------------------------
// The tree: documents with a document type declaration or another start.

namespace {

// An attribute by its local name, whatever its namespace prefix, as the
// text written in the document. Entity references are never expanded (a
// document could otherwise build any class name, or megabytes of text from
// a few bytes): an attribute that holds one counts as absent and answers
// `*refused` true.
PWStringRef GetAttrAsPWString(xmlNode* element, const char* name, bool* refused) {
  *refused = false;
  for (xmlAttr* attribute = element->properties; attribute; attribute = attribute->next) {
    if (!attribute->name || std::strcmp(reinterpret_cast<const char*>(attribute->name), name) != 0) continue;
    std::string text;
    for (xmlNode* part = attribute->children; part; part = part->next) {
      if (part->type != XML_TEXT_NODE) {
        *refused = true;
        return nullptr;
      }
      if (part->content) text += reinterpret_cast<const char*>(part->content);
    }
    return PWStringRef(std::move(text));
  }
  return nullptr;
}

}  // namespace

eAppErr XMLLexer::ParseTree(const char* bytes, size_t length) {
  // CDATA arrives as text; no network. Without XML_PARSE_NOENT, DTDLOAD or
  // DTDVALID, entities are left as references (never expanded) and nothing
  // external is loaded.
  const bool utf8 = StartsAsUTF8(bytes, length);
  MemoryInput input{bytes, length};
  xmlSetStructuredErrorFunc(this, &XMLLexer::OnXMLErrorThunk);
  xmlDocPtr document = xmlReadIO(ReadPiece, ClosePieces, &input, "", utf8 ? nullptr : "UTF-8",
                                 kReadOptions | (utf8 ? XML_PARSE_IGNORE_ENC : 0));
  xmlSetStructuredErrorFunc(nullptr, nullptr);

  xmlNodePtr root = document ? xmlDocGetRootElement(document) : nullptr;
  if (!root) {
    if (document) xmlFreeDoc(document);
    return KS_TRACE_ERR(Parser::kParseWarning, "ParseTree");
  }
  const eAppErr result = ParseProperty(root, 1);
  xmlFreeDoc(document);
  if (AppErrFailed(result)) return KS_TRACE_ERR(result, "ParseTree");
  return result;
}

const PWStringRef& XMLLexer::NameOf(const xmlNode* element) {
  auto found = m_names.find(element->name);
  if (found == m_names.end()) {
    found = m_names.emplace(element->name, PWStringRef(reinterpret_cast<const char*>(element->name))).first;
  }
  return found->second;
}

eAppErr XMLLexer::ParseProperty(xmlNode* element, int depth) {
  m_line = static_cast<int>(xmlGetLineNo(element));
  if (depth > kMaxDepth) {
    m_parser->ReportWarning(Parser::kParseWarning, "Elements nested too deeply");
    return KS_TRACE_ERR(Parser::kParseWarning, "ParseProperty");
  }
  const PWStringRef& name = NameOf(element);
  if (m_parser->OnBeginProperty(name) == 1) {
    // Attributes as the document writes them: a DTD's defaults for them are
    // never taken (they would let a DTD name the class).
    bool typeRefused = false;
    bool idRefused = false;
    bool hrefRefused = false;
    ObjectAttributes attributes;
    attributes.type = GetAttrAsPWString(element, "type", &typeRefused);
    attributes.id = GetAttrAsPWString(element, "id", &idRefused);
    attributes.href = GetAttrAsPWString(element, "href", &hrefRefused);
    if (typeRefused || idRefused || hrefRefused) {
      m_parser->ReportWarning(Parser::kParseWarning, Format("Entity reference in an attribute of %@ refused", name));
      m_parser->OnSkipProperty();
    } else {
      BeginObject(name, attributes);
    }
  }
  for (xmlNode* child = element->children; child; child = child->next) {
    switch (child->type) {
      case XML_ELEMENT_NODE: {
        const eAppErr err = ParseProperty(child, depth + 1);
        if (AppErrFailed(err)) return err;
        m_line = static_cast<int>(xmlGetLineNo(element));
        break;
      }
      case XML_TEXT_NODE:
      case XML_CDATA_SECTION_NODE:
        if (child->content) DeliverText(reinterpret_cast<const char*>(child->content));
        break;
      default:
        KS_TRACE(KsTrace::kVerbose, "Ignoring node type %i named %s", static_cast<int>(child->type),
                 child->name ? reinterpret_cast<const char*>(child->name) : "");
    }
  }
  m_parser->OnEndProperty();
  return AppErr::kNoErr;
}
