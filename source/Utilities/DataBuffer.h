#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "General/KsBaseObject.h"
#include "General/RefTempl.h"
#include "Utilities/ParseLocation.h"

// The bytes a stream reader has been given but not yet consumed. Unread bytes
// are moved to the front before the storage grows, so feeding a long stream
// in pieces never holds more than the largest unread remainder plus the
// newest piece.
class DataBuffer : public KsBaseObject {
 public:
  using Ref = KsRef<DataBuffer>;

  explicit DataBuffer(size_t capacity);

  // Makes room for n more bytes after the unread ones.
  void Reserve(size_t n);
  void Append(const void* bytes, size_t n);
  // Drops n unread bytes (at most GetUsed()).
  void Consume(size_t n);

  // The unread bytes.
  const uint8_t* GetReadPointer() const { return m_storage.data() + m_readPosition; }
  size_t GetUsed() const { return m_used; }
  size_t GetCapacity() const { return m_storage.size(); }
  // Bytes consumed since creation: the stream offset of the first unread byte.
  uint64_t GetConsumedCount() const { return m_consumed; }

  // A new location at the first unread byte.
  KsRef<ParseLocation> CreateLocation() const;

 private:
  std::vector<uint8_t> m_storage;
  size_t m_readPosition = 0;
  size_t m_used = 0;
  uint64_t m_consumed = 0;
};
