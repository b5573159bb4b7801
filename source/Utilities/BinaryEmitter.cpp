#include "Utilities/BinaryEmitter.h"

#include <bit>
#include <cerrno>
#include <limits>

#include "KsTrace.h"
#include "Utilities/BinaryStreamFormat.h"
#include "platform/foundation/PlistValue.h"
#include "platform/foundation/PlistXml.h"
#include "platform/movfile/MovByteWriter.h"

using hc::movfile::MovByteWriter;
namespace Format = BinaryStreamFormat;

namespace {

// Tag 6, the byte count, the UTF-8 bytes.
void AppendStringToken(std::vector<uint8_t>& token, std::string_view text) {
  MovByteWriter writer(token);
  writer.U8(Format::kString);
  writer.U32(static_cast<uint32_t>(text.size()));
  writer.Bytes(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

// The begin-property token of a property that is about to get its value.
void AppendPendingProperty(std::vector<uint8_t>& token, PWStringRef& pending) {
  if (pending.IsNull()) return;
  token.push_back(Format::kBeginProperty);
  AppendStringToken(token, pending.View());
  pending = nullptr;
}

}  // namespace

BinaryEmitter::BinaryEmitter() = default;
BinaryEmitter::~BinaryEmitter() = default;

eAppErr BinaryEmitter::SetOutputFile(void* output) {
  if (m_output) return KS_TRACE_ERR(AppErr::kNotReady, "SetOutputFile");
  m_output = static_cast<FILE*>(output);
  return AppErr::kNoErr;
}

eAppErr BinaryEmitter::WriteToken(const std::vector<uint8_t>& token) {
  if (!m_output) return NoteResult(KS_TRACE_ERR(AppErr::kNotReady, "Write"));
  if (std::fwrite(token.data(), 1, token.size(), m_output) != token.size()) {
    return NoteResult(KS_TRACE_ERR(errno != 0 ? AppErrFromErrno() : AppErr::kGeneral, "Write"));
  }
  return AppErr::kNoErr;
}

eAppErr BinaryEmitter::WriteString(uint8_t tag, const PWStringRef& text) {
  if (text.ByteLength() > std::numeric_limits<uint32_t>::max()) {
    m_pendingProperty = nullptr;
    return NoteResult(KS_TRACE_ERR(AppErr::kBadArgument, "EmitValue"));
  }
  std::vector<uint8_t> token;
  AppendPendingProperty(token, m_pendingProperty);
  // A string value is the string token itself; a class name follows tag 2.
  if (tag != Format::kString) token.push_back(tag);
  AppendStringToken(token, text.View());
  return WriteToken(token);
}

eAppErr BinaryEmitter::BeginDocument() {
  std::vector<uint8_t> token(std::begin(Format::kSignature), std::end(Format::kSignature));
  MovByteWriter writer(token);
  writer.U8(Format::kUInt);
  writer.U32(1);
  return WriteToken(token);
}

eAppErr BinaryEmitter::BeginProperty(const KsRef<HcProperty>& property, bool) {
  m_pendingProperty = property && !property->GetName().IsNull() ? property->GetName() : PWStringRef("unknown");
  return AppErr::kNoErr;
}

eAppErr BinaryEmitter::EndProperty(const KsRef<HcProperty>&) {
  // A property that got neither value nor object is not written.
  m_pendingProperty = nullptr;
  return AppErr::kNoErr;
}

eAppErr BinaryEmitter::BeginObject(const KsRef<KsClassObject>& classObject, const PWStringRef&, const PWStringRef&) {
  const PWStringRef name = classObject ? classObject->GetName() : PWStringRef("");
  return WriteString(Format::kBeginObject, name);
}

eAppErr BinaryEmitter::EndObject(const KsRef<KsClassObject>&) { return WriteToken({Format::kEndObject}); }

namespace {

// A value token after the pending begin-property token.
class TokenBuilder {
 public:
  TokenBuilder(PWStringRef& pending, uint8_t tag) : m_writer(m_token) {
    AppendPendingProperty(m_token, pending);
    m_writer.U8(tag);
  }
  MovByteWriter& Writer() { return m_writer; }
  void Float(float value) { m_writer.U32(std::bit_cast<uint32_t>(value)); }
  const std::vector<uint8_t>& Token() const { return m_token; }

 private:
  std::vector<uint8_t> m_token;
  MovByteWriter m_writer;
};

}  // namespace

eAppErr BinaryEmitter::EmitValue(const PWStringRef& value) { return WriteString(Format::kString, value); }

eAppErr BinaryEmitter::EmitValue(uint32_t value) {
  TokenBuilder token(m_pendingProperty, Format::kUInt);
  token.Writer().U32(value);
  return WriteToken(token.Token());
}

eAppErr BinaryEmitter::EmitValue(int32_t value) {
  TokenBuilder token(m_pendingProperty, Format::kInt);
  token.Writer().U32(static_cast<uint32_t>(value));
  return WriteToken(token.Token());
}

eAppErr BinaryEmitter::EmitValue(bool value) {
  TokenBuilder token(m_pendingProperty, Format::kBool);
  token.Writer().U8(value ? 1 : 0);
  return WriteToken(token.Token());
}

eAppErr BinaryEmitter::EmitValue(int64_t value) {
  TokenBuilder token(m_pendingProperty, Format::kInt64);
  token.Writer().U64(static_cast<uint64_t>(value));
  return WriteToken(token.Token());
}

eAppErr BinaryEmitter::EmitValue(double value) {
  TokenBuilder token(m_pendingProperty, Format::kDouble);
  token.Writer().U64(std::bit_cast<uint64_t>(value));
  return WriteToken(token.Token());
}

eAppErr BinaryEmitter::WriteFloats(uint8_t tag, std::initializer_list<float> values) {
  TokenBuilder token(m_pendingProperty, tag);
  for (float value : values) token.Float(value);
  return WriteToken(token.Token());
}

eAppErr BinaryEmitter::EmitValue(float value) { return WriteFloats(Format::kFloat, {value}); }
eAppErr BinaryEmitter::EmitValue(const KsPointF& v) { return WriteFloats(Format::kPoint, {v.x, v.y}); }
eAppErr BinaryEmitter::EmitValue(const KsSizeF& v) { return WriteFloats(Format::kSize, {v.w, v.h}); }
eAppErr BinaryEmitter::EmitValue(const KsRectF& v) { return WriteFloats(Format::kRect, {v.x, v.y, v.w, v.h}); }
eAppErr BinaryEmitter::EmitValue(const KsColorF& v) { return WriteFloats(Format::kColor, {v.r, v.g, v.b, v.a}); }

eAppErr BinaryEmitter::EmitValue(void*) {
  // The property goes too: a name without a value would unbalance the stream.
  KS_TRACE(KsTrace::kWarning, "BinaryEmitter: Ignoring pointer value");
  m_pendingProperty = nullptr;
  return AppErr::kNoErr;
}

eAppErr BinaryEmitter::EmitValue(const KsPropertyList& value) {
  std::string xml;
  if (!value || hc::foundation::FoundationFailed(hc::foundation::PlistXml::Write(*value.Value(), &xml))) {
    m_pendingProperty = nullptr;
    return NoteResult(KS_TRACE_ERR(AppErr::kTextNotConvertible, "EmitValue"));
  }
  return WriteString(Format::kString, PWStringRef(std::move(xml)));
}

eAppErr BinaryEmitter::EndDocument() {
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
