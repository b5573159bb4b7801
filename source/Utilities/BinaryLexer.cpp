#include "Utilities/BinaryLexer.h"

#include <bit>
#include <cstring>
#include <span>

#include "General/HcClassMap.h"
#include "KsTrace.h"
#include "PWFormat.h"
#include "Utilities/BinaryStreamFormat.h"
#include "platform/movfile/MovByteReader.h"

using hc::movfile::MovByteReader;
namespace Format = BinaryStreamFormat;

namespace {

constexpr size_t kInitialCapacity = 2048;

float ReadFloat(MovByteReader& reader) { return std::bit_cast<float>(reader.U32()); }

}  // namespace

BinaryLexer::BinaryLexer() : m_buffer(KsMakeRef<DataBuffer>(kInitialCapacity)) {}
BinaryLexer::~BinaryLexer() = default;

KsRef<ParseLocation> BinaryLexer::CreateLocation() { return m_buffer->CreateLocation(); }

eAppErr BinaryLexer::Parse(const KsRef<Parser>& parser, const void* bytes, size_t length) {
  if (!parser || (!bytes && length > 0)) return KS_TRACE_ERR(AppErr::kBadArgument, "Parse");
  m_parser = parser;
  m_buffer->Append(bytes, length);

  Step step = kStepDone;
  while (step == kStepDone && m_buffer->GetUsed() >= m_needed) {
    switch (m_state) {
      case kHeaderExpected: step = ParseHeader(); break;
      case kTokenExpected: step = ParseTopLevel(); break;
      case kPropertyNameExpected: step = ParsePropID(); break;
      case kClassNameExpected: step = ParseObjectID(); break;
    }
  }
  if (step != kStepFailed && !m_expectsMoreInput && (m_buffer->GetUsed() > 0 || m_state != kTokenExpected)) {
    step = Fail(m_state == kHeaderExpected && m_buffer->GetConsumedCount() == 0 && m_buffer->GetUsed() == 0
                    ? "No binary data"
                    : "Binary data ends inside a token",
                "Parse");
  }
  m_parser = nullptr;
  if (step == kStepFailed) return KS_TRACE_ERR(Parser::kParseWarning, "Parse");
  return AppErr::kNoErr;
}

BinaryLexer::Step BinaryLexer::Fail(const PWStringRef& message, const char* method) {
  m_parser->ReportWarning(Parser::kParseWarning, message);
  KS_TRACE_ERR(Parser::kParseWarning, method);
  return kStepFailed;
}

BinaryLexer::Step BinaryLexer::WaitFor(uint64_t k) {
  m_needed = k;
  return kStepWait;
}

BinaryLexer::Step BinaryLexer::ParseHeader() {
  const uint8_t* bytes = m_buffer->GetReadPointer();
  m_needed = 1;
  m_state = kTokenExpected;
  if (std::memcmp(bytes, Format::kSignature, sizeof Format::kSignature) != 0) {
    // Read from the first byte on as tokens.
    m_parser->ReportWarning(Parser::kParseWarning,
                            "Unexpected (or no) signature encountered at beginning of binary data.");
    return kStepDone;
  }
  m_buffer->Consume(sizeof Format::kSignature);
  // The version token's tag is not looked at.
  MovByteReader reader(std::span<const uint8_t>(m_buffer->GetReadPointer(), 5));
  reader.U8();
  const uint32_t version = reader.U32();
  m_buffer->Consume(5);
  if (version != kVersion) {
    m_parser->ReportWarning(Parser::kParseWarning,
                            PWStringCreateWithFormat("Binary data is version %u; expected %u.", version, kVersion));
  }
  return kStepDone;
}

BinaryLexer::Step BinaryLexer::ParseTopLevel() {
  const uint8_t tag = *m_buffer->GetReadPointer();
  switch (tag) {
    case Format::kBeginProperty:
      m_buffer->Consume(1);
      m_state = kPropertyNameExpected;
      m_needed = 1;
      return kStepDone;
    case Format::kBeginObject:
      // Object graphs this deep are damage; their copies would also be
      // released by deep recursion.
      if (m_objectDepth >= kMaxObjectDepth) return Fail("Objects nested too deeply", "ParseTopLevel");
      ++m_objectDepth;
      m_buffer->Consume(1);
      m_state = kClassNameExpected;
      m_needed = 1;
      return kStepDone;
    case Format::kEndObject:
      m_buffer->Consume(1);
      if (m_objectDepth > 0) --m_objectDepth;
      m_parser->OnEndProperty();
      m_needed = 1;
      return kStepDone;
    case Format::kString: {
      PWStringRef text;
      const Step step = ReadString(&text);
      if (step != kStepDone) return step;
      m_parser->OnValue(text);
      m_parser->OnEndProperty();
      m_needed = 1;
      return kStepDone;
    }
    default:
      if (Format::FixedTokenSize(tag) > 0) return ParseValue(tag);
      return Fail("Unknown token encountered", "ParseTopLevel");
  }
}

BinaryLexer::Step BinaryLexer::ParseValue(uint8_t tag) {
  const size_t size = Format::FixedTokenSize(tag);
  if (m_buffer->GetUsed() < size) return WaitFor(size);
  MovByteReader reader(std::span<const uint8_t>(m_buffer->GetReadPointer() + 1, size - 1));
  // Read the payload before consuming it: the parser's calls may warn at the
  // token's offset.
  switch (tag) {
    case Format::kInt: {
      const int32_t value = reader.I32();
      m_buffer->Consume(size);
      m_parser->OnValue(value);
      break;
    }
    case Format::kUInt: {
      const uint32_t value = reader.U32();
      m_buffer->Consume(size);
      m_parser->OnValue(value);
      break;
    }
    case Format::kBool: {
      const bool value = reader.U8() != 0;
      m_buffer->Consume(size);
      m_parser->OnValue(value);
      break;
    }
    case Format::kFloat: {
      const float value = ReadFloat(reader);
      m_buffer->Consume(size);
      m_parser->OnValue(value);
      break;
    }
    case Format::kPoint: {
      KsPointF value;
      value.x = ReadFloat(reader);
      value.y = ReadFloat(reader);
      m_buffer->Consume(size);
      m_parser->OnValue(value);
      break;
    }
    case Format::kSize: {
      KsSizeF value;
      value.w = ReadFloat(reader);
      value.h = ReadFloat(reader);
      m_buffer->Consume(size);
      m_parser->OnValue(value);
      break;
    }
    case Format::kRect: {
      KsRectF value;
      value.x = ReadFloat(reader);
      value.y = ReadFloat(reader);
      value.w = ReadFloat(reader);
      value.h = ReadFloat(reader);
      m_buffer->Consume(size);
      m_parser->OnValue(value);
      break;
    }
    case Format::kColor: {
      KsColorF value;
      value.r = ReadFloat(reader);
      value.g = ReadFloat(reader);
      value.b = ReadFloat(reader);
      value.a = ReadFloat(reader);
      m_buffer->Consume(size);
      m_parser->OnValue(value);
      break;
    }
    case Format::kDouble: {
      const double value = std::bit_cast<double>(reader.U64());
      m_buffer->Consume(size);
      m_parser->OnValue(value);
      break;
    }
    case Format::kInt64: {
      const int64_t value = reader.I64();
      m_buffer->Consume(size);
      m_parser->OnValue(value);
      break;
    }
    default: return Fail("Unknown token encountered", "ParseValue");
  }
  m_parser->OnEndProperty();
  m_needed = 1;
  return kStepDone;
}

BinaryLexer::Step BinaryLexer::ReadString(PWStringRef* text) {
  if (m_buffer->GetUsed() < Format::kStringHeaderSize) return WaitFor(Format::kStringHeaderSize);
  MovByteReader reader(std::span<const uint8_t>(m_buffer->GetReadPointer() + 1, 4));
  // In 64 bits: the token's size never wraps around.
  const uint64_t count = reader.U32();
  if (count > kMaxStringBytes) {
    return Fail(PWStringCreateWithFormat("String token of %llu bytes is longer than %llu",
                                         static_cast<unsigned long long>(count),
                                         static_cast<unsigned long long>(kMaxStringBytes)),
                "ReadString");
  }
  const uint64_t tokenSize = Format::kStringHeaderSize + count;
  if (m_buffer->GetUsed() < tokenSize) return WaitFor(tokenSize);
  // The text ends at a zero byte if one occurs.
  *text = PWStringCreateWithBytes(reinterpret_cast<const char*>(m_buffer->GetReadPointer()) + Format::kStringHeaderSize,
                                  PWStringEncoding::kUTF8, static_cast<size_t>(count));
  if (text->IsNull()) return Fail("String token is not UTF-8", "ReadString");
  m_buffer->Consume(static_cast<size_t>(tokenSize));
  return kStepDone;
}

BinaryLexer::Step BinaryLexer::ParsePropID() {
  if (*m_buffer->GetReadPointer() != Format::kString) return Fail("Invalid/unknown property token", "ParsePropID");
  PWStringRef name;
  const Step step = ReadString(&name);
  if (step != kStepDone) return step;
  m_parser->OnBeginProperty(name);
  m_state = kTokenExpected;
  m_needed = 1;
  return kStepDone;
}

BinaryLexer::Step BinaryLexer::ParseObjectID() {
  if (*m_buffer->GetReadPointer() != Format::kString) return Fail("Invalid object type", "ParseObjectID");
  PWStringRef className;
  const Step step = ReadString(&className);
  if (step != kStepDone) return step;
  KsRef<KsClassObject> classObject = HcClassMap::FindClassObject(className);
  if (classObject) {
    m_parser->OnBeginObject(classObject, nullptr, nullptr);
  } else {
    m_parser->ReportWarning(Parser::kParseWarning, PWStringCreateWithFormat("Unknown type (%@) encountered", className));
    // The object's properties then have nothing to go to.
    m_parser->OnSkipProperty();
  }
  m_state = kTokenExpected;
  m_needed = 1;
  return kStepDone;
}
