#include "Utilities/DataBuffer.h"

#include <algorithm>
#include <cstring>

#include "KsTrace.h"
#include "Utilities/StreamLocation.h"

DataBuffer::DataBuffer(size_t capacity) : m_storage(capacity) {}

void DataBuffer::Reserve(size_t n) {
  if (m_storage.size() - m_readPosition - m_used >= n) return;
  if (m_used > 0 && m_readPosition > 0) std::memmove(m_storage.data(), GetReadPointer(), m_used);
  m_readPosition = 0;
  if (m_storage.size() - m_used < n) m_storage.resize(n + m_used);
}

void DataBuffer::Append(const void* bytes, size_t n) {
  if (n == 0) return;
  Reserve(n);
  std::memcpy(m_storage.data() + m_readPosition + m_used, bytes, n);
  m_used += n;
}

void DataBuffer::Consume(size_t n) {
  if (n > m_used) {
    KS_TRACE(KsTrace::kUnexpected, "failed assertion `%s'", "n <= _used");
    n = m_used;
  }
  m_readPosition += n;
  m_used -= n;
  m_consumed += n;
  if (m_used == 0) m_readPosition = 0;
}

KsRef<ParseLocation> DataBuffer::CreateLocation() const {
  return KsRef<ParseLocation>::Adopt(new StreamLocation(m_consumed));
}
