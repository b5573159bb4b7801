#include "Utilities/AtomEmitter.h"

#include <bit>

#include "KsTrace.h"
#include "QuickTime/MovieLayerErr.h"
#include "Utilities/AtomFormat.h"
#include "platform/foundation/PlistValue.h"
#include "platform/foundation/PlistXml.h"
#include "platform/movfile/MovByteWriter.h"

using hc::movfile::AtomContainer;
using hc::movfile::MovErr;
using hc::movfile::MovByteWriter;

namespace {

std::span<const uint8_t> BytesOf(std::string_view text) {
  return std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

// Name, type and value atoms of every property.
constexpr size_t kValueAtoms = 3;
constexpr uint64_t kMaxValueSize = 0xFFFFFFFFull - AtomContainer::kAtomHeaderSize;

}  // namespace

AtomEmitter::AtomEmitter() = default;
AtomEmitter::~AtomEmitter() = default;

eAppErr AtomEmitter::SetOutputFile(void*) { return KS_TRACE_ERR(AppErr::kBadArgument, "SetOutputFile"); }

eAppErr AtomEmitter::SetAtomContainer(void* container) {
  m_container = static_cast<AtomContainer*>(container);
  return AppErr::kNoErr;
}

eAppErr AtomEmitter::Fail(eAppErr code) { return NoteResult(code); }

eAppErr AtomEmitter::Insert(uint32_t type, std::span<const uint8_t> data, Atom* atom) {
  if (!m_container || m_parents.empty()) return Fail(KS_TRACE_ERR(AppErr::kNotReady, "Insert"));
  const MovErr err = m_container->InsertChild(m_parents.back(), type, m_nextIds.back(), data, atom);
  if (hc::movfile::MovFailed(err)) {
    KS_TRACE(KsTrace::kError, "Error! %i", hc::movfile::MovErrCode(err));
    return Fail(AppErrFromMovErr(err));
  }
  return AppErr::kNoErr;
}

eAppErr AtomEmitter::BeginDocument() {
  m_parents.push_back(AtomContainer::kRootAtom);
  m_nextIds.push_back(1);
  return AppErr::kNoErr;
}

eAppErr AtomEmitter::EndDocument() { return AppErr::kNoErr; }

eAppErr AtomEmitter::BeginProperty(const KsRef<HcProperty>& property, bool) {
  m_pendingName = property && !property->GetName().IsNull() ? property->GetName() : PWStringRef("unknown");
  m_propertyWritten.push_back(false);
  return AppErr::kNoErr;
}

eAppErr AtomEmitter::EndProperty(const KsRef<HcProperty>&) {
  m_pendingName = nullptr;
  if (m_propertyWritten.empty()) return AppErr::kNoErr;
  const bool written = m_propertyWritten.back();
  m_propertyWritten.pop_back();
  if (written && !m_nextIds.empty()) ++m_nextIds.back();
  return AppErr::kNoErr;
}

eAppErr AtomEmitter::WritePendingProperty(int32_t typeCode, size_t siblingCount, size_t valueSize, bool* written) {
  *written = false;
  const PWStringRef name = m_pendingName;
  m_pendingName = nullptr;
  if (IsDropping() || name.IsNull()) return AppErr::kNoErr;
  if (!m_container || m_parents.empty()) return Fail(KS_TRACE_ERR(AppErr::kNotReady, "BeginProperty"));
  // All or nothing: a property missing some of its atoms would make the
  // whole container unreadable.
  if (m_container->CountChildren(m_parents.back()) + siblingCount > AtomContainer::kMaxChildren) {
    KS_TRACE(KsTrace::kError, "Error! %i", hc::movfile::MovErrCode(MovErr::TooManyChildren));
    return Fail(AppErrFromMovErr(MovErr::TooManyChildren));
  }
  if (valueSize > kMaxValueSize || name.ByteLength() > kMaxValueSize) {
    KS_TRACE(KsTrace::kError, "Error! %i", hc::movfile::MovErrCode(MovErr::SizeTooLarge));
    return Fail(AppErrFromMovErr(MovErr::SizeTooLarge));
  }
  if (eAppErr err = Insert(AtomFormat::kName, BytesOf(name.View()))) return err;
  std::vector<uint8_t> type;
  MovByteWriter(type).U32(static_cast<uint32_t>(typeCode));
  if (eAppErr err = Insert(AtomFormat::kType, type)) return err;
  if (!m_propertyWritten.empty()) m_propertyWritten.back() = true;
  *written = true;
  return AppErr::kNoErr;
}

eAppErr AtomEmitter::BeginObject(const KsRef<KsClassObject>& classObject, const PWStringRef& id,
                                 const PWStringRef& href) {
  const size_t siblings = kValueAtoms + 1 + (id.IsNull() ? 0 : 1) + (href.IsNull() ? 0 : 1);
  bool written = false;
  eAppErr result = WritePendingProperty(KsPropertyType::kObject, siblings, 0, &written);
  Atom valueAtom = kDroppedParent;
  if (written) {
    const PWStringRef className = classObject ? classObject->GetName() : PWStringRef("");
    result = Insert(AtomFormat::kClassName, BytesOf(className.View()));
    if (!AppErrFailed(result) && !id.IsNull()) result = Insert(AtomFormat::kId, BytesOf(id.View()));
    if (!AppErrFailed(result) && !href.IsNull()) result = Insert(AtomFormat::kHref, BytesOf(href.View()));
    if (!AppErrFailed(result)) result = Insert(AtomFormat::kValue, {}, &valueAtom);
    if (AppErrFailed(result)) valueAtom = kDroppedParent;
  }
  m_parents.push_back(valueAtom);
  m_nextIds.push_back(1);
  return result;
}

eAppErr AtomEmitter::EndObject(const KsRef<KsClassObject>&) {
  // The document's own level stays.
  if (m_parents.size() > 1) {
    m_parents.pop_back();
    m_nextIds.pop_back();
  }
  return AppErr::kNoErr;
}

eAppErr AtomEmitter::WriteValue(int32_t typeCode, const std::vector<uint8_t>& bytes) {
  bool written = false;
  if (eAppErr err = WritePendingProperty(typeCode, kValueAtoms, bytes.size(), &written)) return err;
  return written ? Insert(AtomFormat::kValue, bytes) : AppErr::kNoErr;
}

eAppErr AtomEmitter::EmitValue(const PWStringRef& value) {
  const std::string_view text = value.View();
  return WriteValue(KsPropertyType::kString, std::vector<uint8_t>(text.begin(), text.end()));
}

eAppErr AtomEmitter::EmitValue(uint32_t value) {
  std::vector<uint8_t> bytes;
  MovByteWriter(bytes).U32(value);
  return WriteValue(KsPropertyType::kUInt, bytes);
}

eAppErr AtomEmitter::EmitValue(int32_t value) {
  std::vector<uint8_t> bytes;
  MovByteWriter(bytes).U32(static_cast<uint32_t>(value));
  return WriteValue(KsPropertyType::kInt, bytes);
}

eAppErr AtomEmitter::EmitValue(int64_t value) {
  std::vector<uint8_t> bytes;
  MovByteWriter(bytes).U64(static_cast<uint64_t>(value));
  return WriteValue(KsPropertyType::kInt64, bytes);
}

eAppErr AtomEmitter::EmitValue(double value) {
  std::vector<uint8_t> bytes;
  MovByteWriter(bytes).U64(std::bit_cast<uint64_t>(value));
  return WriteValue(KsPropertyType::kDouble, bytes);
}

eAppErr AtomEmitter::EmitValue(bool value) {
  return WriteValue(KsPropertyType::kBool, {value ? AtomFormat::kTrue : AtomFormat::kFalse});
}

eAppErr AtomEmitter::WriteFloats(int32_t typeCode, std::initializer_list<float> values) {
  std::vector<uint8_t> bytes;
  MovByteWriter writer(bytes);
  for (float value : values) writer.U32(std::bit_cast<uint32_t>(value));
  return WriteValue(typeCode, bytes);
}

eAppErr AtomEmitter::EmitValue(float value) { return WriteFloats(KsPropertyType::kFloat, {value}); }
eAppErr AtomEmitter::EmitValue(const KsPointF& v) { return WriteFloats(KsPropertyType::kPoint, {v.x, v.y}); }
eAppErr AtomEmitter::EmitValue(const KsSizeF& v) { return WriteFloats(KsPropertyType::kSize, {v.w, v.h}); }
eAppErr AtomEmitter::EmitValue(const KsRectF& v) {
  return WriteFloats(KsPropertyType::kRect, {v.x, v.y, v.w, v.h});
}
eAppErr AtomEmitter::EmitValue(const KsColorF& v) {
  return WriteFloats(KsPropertyType::kColor, {v.r, v.g, v.b, v.a});
}

eAppErr AtomEmitter::EmitValue(void*) {
  // Its name and type would stand without a value and spoil the container.
  KS_TRACE(KsTrace::kWarning, "BinaryEmitter: Ignoring pointer value");
  m_pendingName = nullptr;
  return AppErr::kNoErr;
}

eAppErr AtomEmitter::EmitValue(const KsPropertyList& value) {
  std::string xml;
  if (!value || hc::foundation::FoundationFailed(hc::foundation::PlistXml::Write(*value.Value(), &xml))) {
    m_pendingName = nullptr;
    return Fail(KS_TRACE_ERR(AppErr::kTextNotConvertible, "EmitValue"));
  }
  return WriteValue(KsPropertyType::kPropertyList, std::vector<uint8_t>(xml.begin(), xml.end()));
}
