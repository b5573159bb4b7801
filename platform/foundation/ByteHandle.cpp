#include "platform/foundation/ByteHandle.h"

#include <new>
#include <stdexcept>

namespace hc::foundation {

FoundationErr ByteHandle::Resize(size_t newSize) {
  try {
    m_bytes.resize(newSize);  // value-initialises, so new bytes are zero
  } catch (const std::bad_alloc&) {
    return FoundationErr::OutOfMemory;
  } catch (const std::length_error&) {
    return FoundationErr::OutOfMemory;
  }
  return FoundationErr::Ok;
}

FoundationErr ByteHandle::Assign(const void* bytes, size_t length) {
  if (!bytes && length > 0) return FoundationErr::BadArgument;
  const auto* first = static_cast<const uint8_t*>(bytes);
  try {
    // Built aside first, so a source inside this handle stays valid while copied.
    std::vector<uint8_t> copy(first, first + length);
    m_bytes.swap(copy);
  } catch (const std::bad_alloc&) {
    return FoundationErr::OutOfMemory;
  } catch (const std::length_error&) {
    return FoundationErr::OutOfMemory;
  }
  return FoundationErr::Ok;
}

}  // namespace hc::foundation
