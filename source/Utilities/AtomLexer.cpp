#include "Utilities/AtomLexer.h"

#include <bit>
#include <span>

#include "General/HcClassMap.h"
#include "KsTrace.h"
#include "PWFormat.h"
#include "QuickTime/MovieLayerErr.h"
#include "Utilities/AtomFormat.h"
#include "platform/movfile/MovByteReader.h"

using hc::movfile::AtomContainer;
using hc::movfile::MovErr;
using hc::movfile::MovByteReader;

namespace {

float ReadFloat(MovByteReader& reader) { return std::bit_cast<float>(reader.U32()); }

// The value size each fixed-size type code requires; 0 for the others.
size_t FixedValueSize(int32_t type) {
  switch (type) {
    case KsPropertyType::kFloat:
    case KsPropertyType::kInt:
    case KsPropertyType::kUInt: return 4;
    case KsPropertyType::kBool: return 1;
    case KsPropertyType::kPoint:
    case KsPropertyType::kSize:
    case KsPropertyType::kDouble:
    case KsPropertyType::kInt64: return 8;
    case KsPropertyType::kRect:
    case KsPropertyType::kColor: return 16;
    default: return 0;
  }
}

}  // namespace

AtomLexer::AtomLexer() = default;
AtomLexer::~AtomLexer() = default;

KsRef<ParseLocation> AtomLexer::CreateLocation() { return {}; }

eAppErr AtomLexer::Fail(const PWStringRef& message) {
  m_parser->ReportWarning(Parser::kParseWarning, message);
  return Parser::kParseWarning;
}

eAppErr AtomLexer::Parse(const KsRef<Parser>& parser, const void* bytes, size_t length) {
  if (!parser || (!bytes && length > 0)) return KS_TRACE_ERR(AppErr::kBadArgument, "Parse");
  m_parser = parser;
  AtomContainer container;
  const MovErr read =
      AtomContainer::Parse(std::span<const uint8_t>(static_cast<const uint8_t*>(bytes), length), &container);
  eAppErr result;
  if (hc::movfile::MovFailed(read)) {
    result = Fail(PWStringCreateWithFormat("Damaged atom container (%s)", hc::movfile::MovErrName(read)));
  } else {
    m_container = &container;
    result = ParseObject(AtomContainer::kRootAtom);
    m_container = nullptr;
  }
  m_parser = nullptr;
  if (AppErrFailed(result)) return KS_TRACE_ERR(result, "Parse");
  return result;
}

eAppErr AtomLexer::ParseObject(Atom parent) {
  const size_t count = m_container->CountChildrenOfType(parent, AtomFormat::kType);
  if (m_container->CountChildrenOfType(parent, AtomFormat::kValue) != count ||
      m_container->CountChildrenOfType(parent, AtomFormat::kName) != count) {
    return KS_TRACE_ERR(Fail("Property atoms of an object don't come in sets"), "ParseObject");
  }
  for (size_t index = 1; index <= count; ++index) {
    const eAppErr result = ParseProperty(parent, index);
    if (AppErrFailed(result)) return KS_TRACE_ERR(result, "ParseObject");
  }
  return AppErr::kNoErr;
}

eAppErr AtomLexer::ParseProperty(Atom parent, size_t index) {
  uint32_t typeId = 0;
  uint32_t valueId = 0;
  uint32_t nameId = 0;
  const Atom typeAtom = m_container->FindChildByIndex(parent, AtomFormat::kType, index, &typeId);
  const Atom valueAtom = m_container->FindChildByIndex(parent, AtomFormat::kValue, index, &valueId);
  const Atom nameAtom = m_container->FindChildByIndex(parent, AtomFormat::kName, index, &nameId);
  if (typeId != valueId || typeId != nameId) return Fail("Property atoms with different ids");

  std::span<const uint8_t> typeBytes;
  if (MovErr err = m_container->GetAtomData(typeAtom, &typeBytes); hc::movfile::MovFailed(err)) {
    return AppErrFromMovErr(err);
  }
  if (typeBytes.size() != 4) return Fail("Property type atom is not 4 bytes long");
  MovByteReader typeReader(typeBytes);
  const int32_t type = typeReader.I32();

  PWStringRef name;
  if (eAppErr err = GetAtomText(nameAtom, &name)) return err;
  if (name.IsNull()) return Fail("Property without a name");

  const int32_t isObject = m_parser->OnBeginProperty(name);
  const eAppErr result = type == KsPropertyType::kObject
                             ? ParseObjectValue(parent, typeId, valueAtom, isObject, name)
                             : ParseValue(type, valueAtom);
  if (AppErrFailed(result)) return result;
  m_parser->OnEndProperty();
  return AppErr::kNoErr;
}

eAppErr AtomLexer::ParseObjectValue(Atom parent, uint32_t id, Atom valueAtom, int32_t isObject,
                                    const PWStringRef& name) {
  if (isObject != 1) {
    // Not a property of objects in this class (perhaps from a newer or an
    // older version of it): the rest of the document still loads.
    m_parser->ReportWarning(Parser::kParseWarning,
                            PWStringCreateWithFormat("Skipping object value of property %@", name));
    m_parser->OnSkipProperty();
  } else {
    PWStringRef className;
    if (eAppErr err = GetAtomText(m_container->FindChildByID(parent, AtomFormat::kClassName, id), &className)) {
      return err;
    }
    KsRef<KsClassObject> classObject = className.IsNull() ? KsRef<KsClassObject>()
                                                          : HcClassMap::FindClassObject(className);
    if (!classObject) {
      m_parser->ReportWarning(Parser::kParseWarning, PWStringCreateWithFormat("Unknown object type: %@", className));
      m_parser->OnSkipProperty();
    } else {
      PWStringRef objectId;
      PWStringRef href;
      if (eAppErr err = GetAtomText(m_container->FindChildByID(parent, AtomFormat::kId, id), &objectId)) return err;
      if (eAppErr err = GetAtomText(m_container->FindChildByID(parent, AtomFormat::kHref, id), &href)) return err;
      m_parser->OnBeginObject(classObject, objectId, href);
    }
  }
  // A skipped object is still walked: its events fall into the skipped level.
  return ParseObject(valueAtom);
}

eAppErr AtomLexer::ParseValue(int32_t type, Atom valueAtom) {
  switch (type) {
    case KsPropertyType::kNone:
    case KsPropertyType::kPointer:
      KS_TRACE(KsTrace::kError, "Atom parser doesn't handle this type: %i!!!!", type);
      return Fail(PWStringCreateWithFormat("Property of type %i can't be read", type));
    default: break;
  }
  std::span<const uint8_t> bytes;
  if (MovErr err = m_container->GetAtomData(valueAtom, &bytes); hc::movfile::MovFailed(err)) {
    return AppErrFromMovErr(err);
  }
  if (type == KsPropertyType::kString || type == KsPropertyType::kPropertyList) {
    // Property-list values travel as their XML text, which the parser reads
    // by the property's type.
    PWStringRef text;
    if (eAppErr err = GetAtomText(valueAtom, &text)) return err;
    m_parser->OnValue(text);
    return AppErr::kNoErr;
  }
  const size_t size = FixedValueSize(type);
  // Codes this reader doesn't know carry nothing it could read.
  if (size == 0) return AppErr::kNoErr;
  if (bytes.size() != size) {
    return Fail(PWStringCreateWithFormat("Value of type %i is %llu bytes long, not %llu", type,
                                         static_cast<unsigned long long>(bytes.size()),
                                         static_cast<unsigned long long>(size)));
  }
  MovByteReader reader(bytes);
  switch (type) {
    case KsPropertyType::kFloat: m_parser->OnValue(ReadFloat(reader)); break;
    case KsPropertyType::kInt: m_parser->OnValue(reader.I32()); break;
    case KsPropertyType::kUInt: m_parser->OnValue(reader.U32()); break;
    case KsPropertyType::kBool: m_parser->OnValue(reader.U8() != 0); break;
    case KsPropertyType::kPoint: {
      KsPointF value;
      value.x = ReadFloat(reader);
      value.y = ReadFloat(reader);
      m_parser->OnValue(value);
      break;
    }
    case KsPropertyType::kSize: {
      KsSizeF value;
      value.w = ReadFloat(reader);
      value.h = ReadFloat(reader);
      m_parser->OnValue(value);
      break;
    }
    case KsPropertyType::kRect: {
      KsRectF value;
      value.x = ReadFloat(reader);
      value.y = ReadFloat(reader);
      value.w = ReadFloat(reader);
      value.h = ReadFloat(reader);
      m_parser->OnValue(value);
      break;
    }
    case KsPropertyType::kColor: {
      KsColorF value;
      value.r = ReadFloat(reader);
      value.g = ReadFloat(reader);
      value.b = ReadFloat(reader);
      value.a = ReadFloat(reader);
      m_parser->OnValue(value);
      break;
    }
    case KsPropertyType::kDouble: m_parser->OnValue(std::bit_cast<double>(reader.U64())); break;
    case KsPropertyType::kInt64: m_parser->OnValue(reader.I64()); break;
    default: break;
  }
  return AppErr::kNoErr;
}

eAppErr AtomLexer::GetAtomText(Atom atom, PWStringRef* text) {
  *text = nullptr;
  if (atom == AtomContainer::kNoAtom) return AppErr::kNoErr;
  std::span<const uint8_t> bytes;
  if (MovErr err = m_container->GetAtomData(atom, &bytes); hc::movfile::MovFailed(err)) {
    KS_TRACE(KsTrace::kError, "Error! %i", hc::movfile::MovErrCode(err));
    return AppErr::kNoErr;
  }
  if (bytes.empty()) {
    *text = PWStringRef("");
    return AppErr::kNoErr;
  }
  // The text ends at a zero byte if one occurs.
  *text = PWStringCreateWithBytes(reinterpret_cast<const char*>(bytes.data()), PWStringEncoding::kUTF8, bytes.size());
  if (text->IsNull()) return Fail("Atom text is not UTF-8");
  return AppErr::kNoErr;
}
