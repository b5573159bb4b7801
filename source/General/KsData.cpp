#include "General/KsData.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "KsTrace.h"
#include "Security/Base64.h"
#include "platform/foundation/ByteHandle.h"
#include "platform/foundation/PlistValue.h"

using hc::foundation::ByteHandle;
using hc::foundation::PlistValue;

KsData::KsData() = default;

KsData::~KsData() { std::free(m_bytes); }

eAppErr KsData::SetLength(uint32_t length) {
  if (HasBuffer()) return AppErr::kNotReady;
  m_length = length;
  m_lengthSet = true;
  return AppErr::kNoErr;
}

eAppErr KsData::AllocateBuffer(const char* method) {
  // One byte at least, so that an empty buffer is still a buffer.
  errno = 0;
  void* block = std::calloc(m_length > 0 ? m_length : 1, 1);
  if (!block) return KS_TRACE_ERR(errno == ENOMEM ? AppErr::kOutOfMemory : AppErr::kAllocationFailed, method);
  m_bytes = static_cast<uint8_t*>(block);
  return AppErr::kNoErr;
}

void* KsData::GetMutableBytes() {
  if (!m_lengthSet) return nullptr;
  if (!HasBuffer() && AppErrFailed(AllocateBuffer("GetMutableBytes"))) return nullptr;
  return m_bytes;
}

const uint8_t* KsData::ReadableBytes() { return static_cast<const uint8_t*>(GetMutableBytes()); }

eAppErr KsData::SetBytes(const void* source) {
  if (!m_lengthSet || HasBuffer()) return KS_TRACE_ERR(AppErr::kNotReady, "SetBytes");
  if (!source && m_length > 0) return KS_TRACE_ERR(AppErr::kBadArgument, "SetBytes");
  if (eAppErr err = AllocateBuffer("SetBytes")) return err;
  if (m_length > 0) std::memmove(m_bytes, source, m_length);
  return AppErr::kNoErr;
}

eAppErr KsData::SetBytesNoCopy(void* block) {
  if (HasBuffer()) return KS_TRACE_ERR(AppErr::kNotReady, "SetBytesNoCopy");
  m_bytes = static_cast<uint8_t*>(block);
  return AppErr::kNoErr;
}

eAppErr KsData::TakeBytes(const uint8_t* bytes, size_t length, const char* method) {
  // Bytes are given once: a KsData that already holds some keeps them.
  if (HasBuffer()) {
    SetBytes(bytes);  // refused and traced
    return AppErr::kNoErr;
  }
  if (length > std::numeric_limits<uint32_t>::max()) return KS_TRACE_ERR(AppErr::kOutOfRange, method);
  const uint32_t previousLength = m_length;
  const bool previousLengthSet = m_lengthSet;
  SetLength(static_cast<uint32_t>(length));
  const eAppErr err = SetBytes(bytes);
  if (AppErrFailed(err)) {
    m_length = previousLength;
    m_lengthSet = previousLengthSet;
    return KS_TRACE_ERR(err, method);
  }
  return AppErr::kNoErr;
}

// ---------------------------------------------------------------------------
// Base64.

PWStringRef KsData::CopyBase64() {
  if (!m_lengthSet) return PWStringRef("");
  const uint8_t* bytes = ReadableBytes();
  if (!bytes) return PWStringRef("");
  return Base64EncodeBytes(bytes, m_length);
}

eAppErr KsData::SetBase64(const PWStringRef& text) {
  ByteHandle decoded;
  if (eAppErr err = Base64DecodeToHandle(text, &decoded)) return KS_TRACE_ERR(err, "SetBase64");
  return TakeBytes(decoded.GetBytes(), decoded.GetSize(), "SetBase64");
}

// ---------------------------------------------------------------------------
// Property-list data.

KsPropertyList KsData::CopyCFData() {
  PlistValue::DataBytes copy;
  if (const uint8_t* bytes = m_lengthSet ? ReadableBytes() : nullptr) copy.assign(bytes, bytes + m_length);
  return KsPropertyList(std::make_shared<const PlistValue>(PlistValue::FromData(std::move(copy))));
}

eAppErr KsData::SetCFData(const KsPropertyList& value) {
  const PlistValue::DataBytes* data = value.IsNull() ? nullptr : value.Value()->AsData();
  if (!data) return KS_TRACE_ERR(AppErr::kBadArgument, "SetCFData");
  return TakeBytes(data->data(), data->size(), "SetCFData");
}

// ---------------------------------------------------------------------------
// Hexadecimal text.

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The bytes of hexadecimal text, two digits each; false for anything else.
bool DecodeHex(std::string_view text, std::string* bytes) {
  if (text.size() % 2 != 0) return false;
  bytes->resize(text.size() / 2);
  for (size_t i = 0; i < bytes->size(); ++i) {
    const int high = HexDigitValue(text[2 * i]);
    const int low = HexDigitValue(text[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    (*bytes)[i] = static_cast<char>(high << 4 | low);
  }
  return true;
}

}  // namespace

PWStringRef KsData::CopyHex() {
  const uint8_t* bytes = m_lengthSet ? ReadableBytes() : nullptr;
  if (!bytes) return PWStringRef("");
  std::string text(size_t{m_length} * 2, '0');
  for (uint32_t i = 0; i < m_length; ++i) {
    text[2 * i] = kHexDigits[bytes[i] >> 4];
    text[2 * i + 1] = kHexDigits[bytes[i] & 0x0f];
  }
  return PWStringRef(std::move(text));
}

eAppErr KsData::SetHex(const PWStringRef& text) {
  if (text.IsNull()) return KS_TRACE_ERR(AppErr::kBadArgument, "SetHex");
  std::string bytes;
  if (!DecodeHex(text.View(), &bytes)) return KS_TRACE_ERR(AppErr::kTextNotConvertible, "SetHex");
  const auto* decoded = reinterpret_cast<const uint8_t*>(bytes.data());
  if (!HasBuffer()) return TakeBytes(decoded, bytes.size(), "SetHex");
  // An existing buffer keeps its length and is rewritten only within it.
  if (bytes.size() > m_length) return KS_TRACE_ERR(AppErr::kOutOfRange, "SetHex");
  if (!bytes.empty()) std::memcpy(m_bytes, decoded, bytes.size());
  return AppErr::kNoErr;
}
