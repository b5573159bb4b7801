#include "Utilities/XMLEmitter.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>

#include "KsTrace.h"
#include "platform/foundation/PlistValue.h"
#include "platform/foundation/PlistXml.h"

namespace {

const PWStringRef kUnknownName("unknown");

const PWStringRef& NameOf(const KsRef<HcProperty>& property) {
  return property && !property->GetName().IsNull() ? property->GetName() : kUnknownName;
}

bool IsObjectProperty(const KsRef<HcProperty>& property) {
  return property && KsPropertyType::IsObjectType(property->GetPropertyType());
}

template <class T>
bool SameBits(T a, T b) {
  if (std::isnan(a) && std::isnan(b)) return true;
  return std::memcmp(&a, &b, sizeof(T)) == 0;
}

template <class T>
std::string FormatExact(T value) {
  char buffer[512];
  // "%f": six decimals, in no locale at all.
  auto fixed = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
  if (fixed.ec == std::errc()) {
    T back{};
    const auto read = std::from_chars(buffer, fixed.ptr, back);
    if (read.ec == std::errc() && SameBits(back, value)) return std::string(buffer, fixed.ptr);
  }
  auto shortest = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, shortest.ptr);
}

}  // namespace

XMLEmitter::XMLEmitter() = default;
XMLEmitter::~XMLEmitter() = default;

std::string XMLEmitter::FormatFloat(float value) { return FormatExact(value); }
std::string XMLEmitter::FormatDouble(double value) { return FormatExact(value); }

std::string XMLEmitter::EscapeAttribute(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      // Attribute values are normalised on reading: only references keep these.
      case '\t': out += "&#9;"; break;
      case '\n': out += "&#10;"; break;
      case '\r': out += "&#13;"; break;
      default: out += c;
    }
  }
  return out;
}

eAppErr XMLEmitter::SetOutputFile(void* output) {
  if (m_output) return KS_TRACE_ERR(AppErr::kNotReady, "SetOutputFile");
  m_output = static_cast<FILE*>(output);
  return AppErr::kNoErr;
}

eAppErr XMLEmitter::SetEmitXMLDeclaration(bool emit) {
  m_emitXMLDeclaration = emit;
  return AppErr::kNoErr;
}

eAppErr XMLEmitter::Write(std::string_view text) {
  if (!m_output) return NoteResult(AppErr::kNotReady);
  if (text.empty()) return AppErr::kNoErr;
  if (std::fwrite(text.data(), 1, text.size(), m_output) != text.size()) {
    return NoteResult(errno != 0 ? AppErrFromErrno() : AppErr::kGeneral);
  }
  return AppErr::kNoErr;
}

eAppErr XMLEmitter::WriteIndent() {
  static const std::string tabs(kMaxIndent, '\t');
  const uint32_t width = m_depth < kMaxIndent ? m_depth : kMaxIndent;
  return Write(std::string_view(tabs).substr(0, width));
}

eAppErr XMLEmitter::BeginDocument() {
  if (!m_emitXMLDeclaration) return AppErr::kNoErr;
  return Write("<?xml version=\"1.0\" encoding=\"utf-8\" ?> \n");
}

eAppErr XMLEmitter::BeginProperty(const KsRef<HcProperty>& property, bool isDocumentRoot) {
  std::string text = "<";
  text += NameOf(property).View();
  if (isDocumentRoot) {
    text += " xmlns=\"";
    text += kHcMLNamespace;
    text += "\"\n\txmlns:xsi=\"";
    text += kSchemaInstanceNamespace;
    text += "\"\n\t";
  }
  // An object property's tag stays open for the object's attributes.
  if (!IsObjectProperty(property)) text += '>';
  if (eAppErr err = WriteIndent()) return err;
  return Write(text);
}

eAppErr XMLEmitter::BeginObject(const KsRef<KsClassObject>& classObject, const PWStringRef& id,
                                const PWStringRef& href) {
  std::string text;
  auto attribute = [&text](const char* name, const PWStringRef& value) {
    if (value.IsNull()) return;
    text += ' ';
    text += name;
    text += "=\"";
    text += EscapeAttribute(value.View());
    text += '"';
  };
  attribute("xsi:type", classObject ? classObject->GetName() : PWStringRef());
  attribute("id", id);
  attribute("href", href);
  text += ">\n";
  ++m_depth;
  return Write(text);
}

eAppErr XMLEmitter::EndObject(const KsRef<KsClassObject>&) {
  if (m_depth > 0) --m_depth;
  return AppErr::kNoErr;
}

eAppErr XMLEmitter::EndProperty(const KsRef<HcProperty>& property) {
  if (IsObjectProperty(property)) {
    if (eAppErr err = WriteIndent()) return err;
  }
  std::string text = "</";
  text += NameOf(property).View();
  text += ">\n";
  return Write(text);
}

eAppErr XMLEmitter::EmitValue(const PWStringRef& value) { return Write(PWStringEscapeXML(value).View()); }
eAppErr XMLEmitter::EmitValue(uint32_t value) { return Write(std::to_string(value)); }
eAppErr XMLEmitter::EmitValue(int32_t value) { return Write(std::to_string(value)); }
eAppErr XMLEmitter::EmitValue(int64_t value) { return Write(std::to_string(value)); }
eAppErr XMLEmitter::EmitValue(bool value) { return Write(value ? "true" : "false"); }
eAppErr XMLEmitter::EmitValue(float value) { return Write(FormatFloat(value)); }
eAppErr XMLEmitter::EmitValue(double value) { return Write(FormatDouble(value)); }

eAppErr XMLEmitter::WriteRecord(std::initializer_list<std::pair<const char*, float>> fields) {
  std::string text;
  for (const auto& [name, value] : fields) {
    if (!text.empty()) text += ' ';
    text += name;
    text += '=';
    text += FormatFloat(value);
  }
  return Write(text);
}

eAppErr XMLEmitter::EmitValue(const KsPointF& v) { return WriteRecord({{"x", v.x}, {"y", v.y}}); }
eAppErr XMLEmitter::EmitValue(const KsSizeF& v) { return WriteRecord({{"w", v.w}, {"h", v.h}}); }
eAppErr XMLEmitter::EmitValue(const KsRectF& v) {
  return WriteRecord({{"x", v.x}, {"y", v.y}, {"w", v.w}, {"h", v.h}});
}
eAppErr XMLEmitter::EmitValue(const KsColorF& v) {
  return WriteRecord({{"r", v.r}, {"g", v.g}, {"b", v.b}, {"a", v.a}});
}

eAppErr XMLEmitter::EmitValue(void* value) {
  KS_TRACE(KsTrace::kWarning, "Emitting pointer value; don't try to load this file!");
  char buffer[2 + 2 * sizeof(uintptr_t)];
  auto end = std::to_chars(buffer + 2, buffer + sizeof buffer, reinterpret_cast<uintptr_t>(value), 16).ptr;
  buffer[0] = '0';
  buffer[1] = 'x';
  return Write(std::string_view(buffer, static_cast<size_t>(end - buffer)));
}

eAppErr XMLEmitter::EmitValue(const KsPropertyList& value) {
  // A null value writes an empty element, which reads back as no value.
  if (!value) return AppErr::kNoErr;
  std::string xml;
  if (hc::foundation::FoundationFailed(hc::foundation::PlistXml::Write(*value.Value(), &xml))) {
    return NoteResult(KS_TRACE_ERR(AppErr::kTextNotConvertible, "EmitValue"));
  }
  return Write(PWStringEscapeXML(PWStringRef(std::move(xml))).View());
}

eAppErr XMLEmitter::CloseOutput() {
  if (!m_output) return AppErr::kNoErr;
  FILE* output = m_output;
  m_output = nullptr;
  // A full disk often shows only when the buffer is flushed.
  errno = 0;
  const bool failed = std::ferror(output) != 0;
  if (std::fclose(output) != 0 || failed) {
    return NoteResult(KS_TRACE_ERR(errno != 0 ? AppErrFromErrno() : AppErr::kGeneral, "EndDocument"));
  }
  return AppErr::kNoErr;
}

eAppErr XMLEmitter::EndDocument() { return CloseOutput(); }
