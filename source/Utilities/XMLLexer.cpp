#include "Utilities/XMLLexer.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <climits>
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

// An attribute by its local name, whatever its namespace prefix.
PWStringRef GetAttrAsPWString(xmlNode* element, const char* name) {
  xmlChar* value = xmlGetProp(element, reinterpret_cast<const xmlChar*>(name));
  if (!value) return nullptr;
  PWStringRef text(reinterpret_cast<const char*>(value));
  xmlFree(value);
  return text;
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
  if (length > static_cast<size_t>(INT_MAX)) return KS_TRACE_ERR(AppErr::kBadArgument, "Parse");

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
    const PWStringRef type = GetAttrAsPWString(element, "type");
    KsRef<KsClassObject> classObject = type.IsNull() ? KsRef<KsClassObject>() : HcClassMap::FindClassObject(type);
    if (type.IsNull()) {
      m_parser->ReportWarning(Parser::kParseWarning, Format("Object-typed property without type specified: %@", name));
      m_parser->OnSkipProperty();
    } else if (!classObject) {
      m_parser->ReportWarning(Parser::kParseWarning, Format("Unknown object type: %@", type));
      m_parser->OnSkipProperty();
    } else {
      m_parser->OnBeginObject(classObject, GetAttrAsPWString(element, "id"), GetAttrAsPWString(element, "href"));
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
