#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/foundation/FoundationErr.h"

namespace hc::foundation {

// A growable block of bytes that the model passes around as one value (where
// the player was designed on relocatable memory handles). Copies are deep.
// Bytes gained by growing are zero; shrinking keeps the leading bytes.
class ByteHandle {
 public:
  ByteHandle() = default;

  size_t GetSize() const { return m_bytes.size(); }
  bool IsEmpty() const { return m_bytes.empty(); }
  // The first byte; nullptr when the handle is empty.
  uint8_t* GetBytes() { return m_bytes.empty() ? nullptr : m_bytes.data(); }
  const uint8_t* GetBytes() const { return m_bytes.empty() ? nullptr : m_bytes.data(); }
  std::span<uint8_t> View() { return m_bytes; }
  std::span<const uint8_t> View() const { return m_bytes; }

  // On failure the handle keeps its size and contents.
  FoundationErr Resize(size_t newSize);
  // Replaces the contents with a copy of length bytes (the source may lie
  // inside this handle). A null source with a non-zero length is refused.
  FoundationErr Assign(const void* bytes, size_t length);

  friend bool operator==(const ByteHandle&, const ByteHandle&) = default;

 private:
  std::vector<uint8_t> m_bytes;
};

}  // namespace hc::foundation
