#include "Utilities/XMLLexer.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <climits>
#include <cstring>
#include <string>
#include <string_view>

#include "General/HcClassMap.h"
#include "KsTrace.h"
#include "PWFormat.h"
#include "Utilities/FileParseLocation.h"

namespace {

std::string_view TrimmedText(const xmlChar* content) {
  if (!content) return {};
  std::string_view text(reinterpret_cast<const char*>(content));
  constexpr std::string_view kBlanks = " \t\n\r";
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

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

template <class... Args>
PWStringRef Format(std::string_view format, const Args&... args) {
  const PWFormatArg list[] = {PWFormatArg(args)...};
  return PWStringRef(PWFormatToString(format, list));
}

}  // namespace

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
  KS_TRACE(KsTrace::kWarning, "Line %i Saw error code %i, message %s", error->line, error->code, message);
  m_line = error->line;
  if (m_parser) m_parser->ReportWarning(Parser::kParseWarning, Format("%s (%i)", message, error->code));
}

eAppErr XMLLexer::Parse(const KsRef<Parser>& parser, const void* bytes, size_t length) {
  if (!parser || !bytes || length == 0) return KS_TRACE_ERR(AppErr::kBadArgument, "Parse");
  if (length > kMaxDocumentBytes) {
    parser->ReportWarning(Parser::kParseWarning, Format("Document larger than %u bytes", kMaxDocumentBytes));
    return KS_TRACE_ERR(Parser::kParseWarning, "Parse");
  }
  // libxml2 compares each attribute of a tag with every other one: a tag of
  // a few hundred thousand attributes would hold it for minutes.
  const size_t attributes = MostAttributesInATag(std::string_view(static_cast<const char*>(bytes), length));
  if (attributes > kMaxAttributes) {
    parser->ReportWarning(Parser::kParseWarning, Format("An element has %u attributes, more than %u",
                                                        static_cast<unsigned long long>(attributes), kMaxAttributes));
    return KS_TRACE_ERR(Parser::kParseWarning, "Parse");
  }

  m_parser = parser;
  xmlSetStructuredErrorFunc(this, &XMLLexer::OnXMLErrorThunk);
  // CDATA arrives as text; no network. Without XML_PARSE_NOENT, DTDLOAD or
  // DTDVALID, entities are left as references (never expanded) and nothing
  // external is loaded.
  xmlDocPtr document = xmlReadMemory(static_cast<const char*>(bytes), static_cast<int>(length), "", "UTF-8",
                                     XML_PARSE_NOCDATA | XML_PARSE_NONET);
  xmlSetStructuredErrorFunc(nullptr, nullptr);

  xmlNodePtr root = document ? xmlDocGetRootElement(document) : nullptr;
  if (!root) {
    if (document) xmlFreeDoc(document);
    m_parser = nullptr;
    return KS_TRACE_ERR(Parser::kParseWarning, "Parse");
  }
  const eAppErr result = ParseProperty(root, 1);
  xmlFreeDoc(document);
  m_parser = nullptr;
  if (AppErrFailed(result)) return KS_TRACE_ERR(result, "Parse");
  return result;
}

eAppErr XMLLexer::ParseProperty(xmlNode* element, int depth) {
  m_line = static_cast<int>(xmlGetLineNo(element));
  if (depth > kMaxDepth) {
    m_parser->ReportWarning(Parser::kParseWarning, "Elements nested too deeply");
    return KS_TRACE_ERR(Parser::kParseWarning, "ParseProperty");
  }
  const PWStringRef name(reinterpret_cast<const char*>(element->name));
  const int32_t isObject = m_parser->OnBeginProperty(name);
  if (isObject == 1) {
    bool typeRefused = false;
    bool idRefused = false;
    bool hrefRefused = false;
    const PWStringRef type = GetAttrAsPWString(element, "type", &typeRefused);
    const PWStringRef id = GetAttrAsPWString(element, "id", &idRefused);
    const PWStringRef href = GetAttrAsPWString(element, "href", &hrefRefused);
    KsRef<KsClassObject> classObject = type.IsNull() ? KsRef<KsClassObject>() : HcClassMap::FindClassObject(type);
    if (typeRefused || idRefused || hrefRefused) {
      m_parser->ReportWarning(Parser::kParseWarning, Format("Entity reference in an attribute of %@ refused", name));
      m_parser->OnSkipProperty();
    } else if (type.IsNull()) {
      m_parser->ReportWarning(Parser::kParseWarning, Format("Object-typed property without type specified: %@", name));
      m_parser->OnSkipProperty();
    } else if (!classObject) {
      m_parser->ReportWarning(Parser::kParseWarning, Format("Unknown object type: %@", type));
      m_parser->OnSkipProperty();
    } else {
      m_parser->OnBeginObject(classObject, id, href);
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
      case XML_CDATA_SECTION_NODE: {
        if (xmlIsBlankNode(child)) break;
        const std::string_view text = TrimmedText(child->content);
        if (!text.empty()) m_parser->OnValue(PWStringRef(text));
        break;
      }
      default:
        KS_TRACE(KsTrace::kVerbose, "Ignoring node type %i named %s", static_cast<int>(child->type),
                 child->name ? reinterpret_cast<const char*>(child->name) : "");
    }
  }
  m_parser->OnEndProperty();
  return AppErr::kNoErr;
}
