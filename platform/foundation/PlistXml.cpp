#include "platform/foundation/PlistXml.h"

#include <libxml/xmlreader.h>
#include <locale.h>
#include <plist/plist.h>

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>

namespace hc::foundation {
namespace {

// libplist converts reals with strtod and snprintf, which follow the thread's
// locale: every call into it runs under the C locale.
class CLocaleScope {
 public:
  CLocaleScope() : m_previous(uselocale(CLocale())) {}
  ~CLocaleScope() {
    if (m_previous) uselocale(m_previous);
  }
  CLocaleScope(const CLocaleScope&) = delete;
  CLocaleScope& operator=(const CLocaleScope&) = delete;

 private:
  static locale_t CLocale() {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return cLocale;
  }
  locale_t m_previous;
};

struct PlistDeleter {
  void operator()(void* node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

// Iterators and keys that libplist hands out come from malloc.
struct FreeDeleter {
  void operator()(void* block) const { std::free(block); }
};
using MallocPtr = std::unique_ptr<void, FreeDeleter>;

struct ReaderDeleter {
  void operator()(xmlTextReaderPtr reader) const { xmlFreeTextReader(reader); }
};
using ReaderPtr = std::unique_ptr<xmlTextReader, ReaderDeleter>;

// The key/integer pair under which keyed archives store an object reference;
// libplist turns it into a node of its own, which is turned back here.
constexpr const char* kUidKey = "CF$UID";

void IgnoreXmlError(void*, xmlErrorPtr) {}
void NoteXmlError(void* failed, xmlErrorPtr error) {
  if (error && error->level >= XML_ERR_ERROR) *static_cast<bool*>(failed) = true;
}
void IgnoreXmlMessage(void*, const char*, ...) {}

// libxml2 reports to handlers of the calling thread; the check keeps them quiet
// and gives them back afterwards.
class QuietXmlErrors {
 public:
  QuietXmlErrors()
      : m_structured(xmlStructuredError),
        m_structuredContext(xmlStructuredErrorContext),
        m_generic(xmlGenericError),
        m_genericContext(xmlGenericErrorContext) {
    xmlSetStructuredErrorFunc(nullptr, IgnoreXmlError);
    xmlSetGenericErrorFunc(nullptr, IgnoreXmlMessage);
  }
  ~QuietXmlErrors() {
    xmlSetStructuredErrorFunc(m_structuredContext, m_structured);
    xmlSetGenericErrorFunc(m_genericContext, m_generic);
  }
  QuietXmlErrors(const QuietXmlErrors&) = delete;
  QuietXmlErrors& operator=(const QuietXmlErrors&) = delete;

 private:
  xmlStructuredErrorFunc m_structured;
  void* m_structuredContext;
  xmlGenericErrorFunc m_generic;
  void* m_genericContext;
};

// Length of the UTF-8 sequence at the start of text when it encodes a
// character that XML 1.0 allows; 0 otherwise.
size_t XmlCharacterLength(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  if (lead < 0x80) return lead >= 0x20 || lead == '\t' || lead == '\n' || lead == '\r' ? 1 : 0;
  size_t length = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4;
  } else {
    return 0;
  }
  uint32_t code = lead & (0x7F >> length);
  if (text.size() < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[i]);
    if ((next & 0xC0) != 0x80) return 0;
    code = (code << 6) | (next & 0x3F);
  }
  static constexpr uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  const bool valid = code >= kSmallest[length] && code <= 0x10FFFF &&
                     !(code >= 0xD800 && code <= 0xDFFF) && code != 0xFFFE && code != 0xFFFF;
  return valid ? length : 0;
}

// True when the text is UTF-8 made only of characters XML can carry.
bool TextFitsXml(std::string_view text) {
  while (!text.empty()) {
    const size_t length = XmlCharacterLength(text);
    if (length == 0) return false;
    text.remove_prefix(length);
  }
  return true;
}

bool YearOfDateTextInRange(const xmlChar* text) {
  if (!text) return false;
  const char* first = reinterpret_cast<const char*>(text);
  const char* last = first + std::strlen(first);
  int year = 0;
  auto [end, error] = std::from_chars(first, last, year);
  return error == std::errc() && end - first == 4 && year >= PlistXml::kFirstYear &&
         year <= PlistXml::kLastYear;
}

// libplist parses recursively, takes malformed XML and keeps dates in 32-bit
// seconds, so text is first walked with libxml2's streaming reader: it must be
// well-formed UTF-8 XML, nest no deeper than kMaxDepth, and hold only dates
// that libplist can keep.
bool IsSafeForPlistParser(std::string_view xml) {
  static std::once_flag initOnce;
  std::call_once(initOnce, [] { xmlInitParser(); });
  if (xml.size() > static_cast<size_t>(INT_MAX) || !TextFitsXml(xml)) return false;
  QuietXmlErrors quiet;
  // libplist takes the bytes as UTF-8 whatever the document declares, so the
  // check does too.
  ReaderPtr reader(xmlReaderForMemory(xml.data(), static_cast<int>(xml.size()), nullptr, "UTF-8",
                                      XML_PARSE_NONET | XML_PARSE_NOWARNING | XML_PARSE_NOERROR));
  if (!reader) return false;
  // Some errors (bytes that are not UTF-8) end the reading as if the text had
  // ended: any error reported fails the check.
  bool failed = false;
  xmlTextReaderSetStructuredErrorHandler(reader.get(), NoteXmlError, &failed);
  int status;
  while ((status = xmlTextReaderRead(reader.get())) == 1 && !failed) {
    if (xmlTextReaderNodeType(reader.get()) != XML_READER_TYPE_ELEMENT) continue;
    if (xmlTextReaderDepth(reader.get()) > PlistXml::kMaxDepth) return false;
    const xmlChar* name = xmlTextReaderConstLocalName(reader.get());
    if (name && std::strcmp(reinterpret_cast<const char*>(name), "date") == 0) {
      xmlChar* text = xmlTextReaderReadString(reader.get());
      const bool inRange = YearOfDateTextInRange(text);
      xmlFree(text);
      if (!inRange) return false;
    }
  }
  return status == 0 && !failed;
}

FoundationErr ValueFromNode(plist_t node, PlistValue* out);

FoundationErr DictionaryFromNode(plist_t node, PlistValue* out) {
  PlistValue dictionary = PlistValue::NewDictionary();
  plist_dict_iter iter = nullptr;
  plist_dict_new_iter(node, &iter);
  MallocPtr iterOwner(iter);
  if (!iter) return FoundationErr::OutOfMemory;
  FoundationErr err = FoundationErr::Ok;
  while (err == FoundationErr::Ok) {
    char* key = nullptr;
    plist_t item = nullptr;
    plist_dict_next_item(node, iter, &key, &item);
    MallocPtr keyOwner(key);
    if (!item) break;
    PlistValue value;
    err = ValueFromNode(item, &value);
    if (err == FoundationErr::Ok) err = dictionary.SetItem(key ? key : "", std::move(value));
  }
  if (err == FoundationErr::Ok) *out = std::move(dictionary);
  return err;
}

FoundationErr ArrayFromNode(plist_t node, PlistValue* out) {
  PlistValue array = PlistValue::NewArray();
  plist_array_iter iter = nullptr;
  plist_array_new_iter(node, &iter);
  MallocPtr iterOwner(iter);
  if (!iter) return FoundationErr::OutOfMemory;
  FoundationErr err = FoundationErr::Ok;
  while (err == FoundationErr::Ok) {
    plist_t item = nullptr;
    plist_array_next_item(node, iter, &item);
    if (!item) break;
    PlistValue value;
    err = ValueFromNode(item, &value);
    if (err == FoundationErr::Ok) err = array.Append(std::move(value));
  }
  if (err == FoundationErr::Ok) *out = std::move(array);
  return err;
}

FoundationErr ValueFromNode(plist_t node, PlistValue* out) {
  if (!node) return FoundationErr::MalformedData;
  switch (plist_get_node_type(node)) {
    case PLIST_DICT:
      return DictionaryFromNode(node, out);
    case PLIST_ARRAY:
      return ArrayFromNode(node, out);
    case PLIST_STRING: {
      uint64_t length = 0;
      const char* text = plist_get_string_ptr(node, &length);
      *out = PlistValue::FromString(text ? std::string(text, length) : std::string());
      return FoundationErr::Ok;
    }
    case PLIST_UINT: {
      // Stored as 64 unsigned bits; the text "-5" reads as 2^64 - 5.
      uint64_t value = 0;
      plist_get_uint_val(node, &value);
      *out = PlistValue::FromInteger(static_cast<int64_t>(value));
      return FoundationErr::Ok;
    }
    case PLIST_REAL: {
      double value = 0;
      plist_get_real_val(node, &value);
      *out = PlistValue::FromReal(value);
      return FoundationErr::Ok;
    }
    case PLIST_BOOLEAN: {
      uint8_t value = 0;
      plist_get_bool_val(node, &value);
      *out = PlistValue::FromBool(value != 0);
      return FoundationErr::Ok;
    }
    case PLIST_DATA: {
      uint64_t length = 0;
      const char* bytes = plist_get_data_ptr(node, &length);
      *out = PlistValue::FromData(bytes, bytes ? length : 0);
      return FoundationErr::Ok;
    }
    case PLIST_DATE: {
      int32_t seconds = 0;
      int32_t microseconds = 0;
      plist_get_date_val(node, &seconds, &microseconds);
      *out = PlistValue::FromDate({seconds + microseconds / 1e6});
      return FoundationErr::Ok;
    }
    case PLIST_UID: {
      uint64_t value = 0;
      plist_get_uid_val(node, &value);
      PlistValue reference = PlistValue::NewDictionary();
      reference.SetItem(kUidKey, PlistValue::FromInteger(static_cast<int64_t>(value)));
      *out = std::move(reference);
      return FoundationErr::Ok;
    }
    case PLIST_KEY:
    case PLIST_NONE:
      break;
  }
  return FoundationErr::MalformedData;
}

FoundationErr NodeFromValue(const PlistValue& value, int level, PlistPtr* out);

FoundationErr DictionaryNode(const PlistValue::DictionaryItems& items, int level, PlistPtr* out) {
  PlistPtr dictionary(plist_new_dict());
  if (!dictionary) return FoundationErr::OutOfMemory;
  for (const auto& [key, value] : items) {
    if (!TextFitsXml(key)) return FoundationErr::BadArgument;
    PlistPtr item;
    FoundationErr err = NodeFromValue(value, level + 1, &item);
    if (err != FoundationErr::Ok) return err;
    plist_dict_set_item(dictionary.get(), key.c_str(), item.release());
  }
  *out = std::move(dictionary);
  return FoundationErr::Ok;
}

FoundationErr ArrayNode(const PlistValue::ArrayItems& items, int level, PlistPtr* out) {
  PlistPtr array(plist_new_array());
  if (!array) return FoundationErr::OutOfMemory;
  for (const PlistValue& value : items) {
    PlistPtr item;
    FoundationErr err = NodeFromValue(value, level + 1, &item);
    if (err != FoundationErr::Ok) return err;
    plist_array_append_item(array.get(), item.release());
  }
  *out = std::move(array);
  return FoundationErr::Ok;
}

FoundationErr DateNode(PlistDate date, PlistPtr* out) {
  // XML carries whole seconds.
  const double seconds = std::floor(date.secondsSince2001);
  if (!(seconds >= INT32_MIN && seconds <= INT32_MAX)) return FoundationErr::BadArgument;
  out->reset(plist_new_date(static_cast<int32_t>(seconds), 0));
  return FoundationErr::Ok;
}

FoundationErr NodeFromValue(const PlistValue& value, int level, PlistPtr* out) {
  if (level > PlistXml::kMaxDepth) return FoundationErr::BadArgument;
  FoundationErr err = FoundationErr::Ok;
  switch (value.GetType()) {
    case PlistValue::Type::Null:
      return FoundationErr::BadArgument;
    case PlistValue::Type::Dictionary:
      return DictionaryNode(*value.AsDictionary(), level, out);
    case PlistValue::Type::Array:
      return ArrayNode(*value.AsArray(), level, out);
    case PlistValue::Type::String:
      if (!TextFitsXml(*value.AsString())) return FoundationErr::BadArgument;
      out->reset(plist_new_string(value.AsString()->c_str()));
      break;
    case PlistValue::Type::Integer:
      // Written as signed decimal text.
      out->reset(plist_new_uint(static_cast<uint64_t>(*value.AsInteger())));
      break;
    case PlistValue::Type::Real:
      out->reset(plist_new_real(*value.AsReal()));
      break;
    case PlistValue::Type::Bool:
      out->reset(plist_new_bool(*value.AsBool() ? 1 : 0));
      break;
    case PlistValue::Type::Data: {
      const PlistValue::DataBytes& bytes = *value.AsData();
      out->reset(plist_new_data(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
      break;
    }
    case PlistValue::Type::Date:
      err = DateNode(*value.AsDate(), out);
      break;
  }
  if (err == FoundationErr::Ok && !*out) return FoundationErr::OutOfMemory;
  return err;
}

}  // namespace

FoundationErr PlistXml::Read(std::string_view xml, PlistValue* out) {
  if (!out) return FoundationErr::BadArgument;
  if (xml.empty() || xml.size() > UINT32_MAX) return FoundationErr::MalformedData;
  try {
    CLocaleScope cLocale;
    if (!IsSafeForPlistParser(xml)) return FoundationErr::MalformedData;
    plist_t parsed = nullptr;
    plist_from_xml(xml.data(), static_cast<uint32_t>(xml.size()), &parsed);
    PlistPtr root(parsed);
    if (!root) return FoundationErr::MalformedData;
    PlistValue value;
    FoundationErr err = ValueFromNode(root.get(), &value);
    if (err == FoundationErr::Ok) *out = std::move(value);
    return err;
  } catch (const std::bad_alloc&) {
    return FoundationErr::OutOfMemory;
  }
}

FoundationErr PlistXml::Write(const PlistValue& value, std::string* out) {
  if (!out) return FoundationErr::BadArgument;
  try {
    CLocaleScope cLocale;
    PlistPtr root;
    FoundationErr err = NodeFromValue(value, 1, &root);
    if (err != FoundationErr::Ok) return err;
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(root.get(), &xml, &length);
    if (!xml) return FoundationErr::OutOfMemory;
    std::unique_ptr<char, void (*)(char*)> xmlOwner(xml, plist_to_xml_free);
    std::string text(xml, length);
    out->swap(text);
    return FoundationErr::Ok;
  } catch (const std::bad_alloc&) {
    return FoundationErr::OutOfMemory;
  }
}

}  // namespace hc::foundation
