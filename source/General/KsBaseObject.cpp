#include "General/KsBaseObject.h"

#include "General/WeakRef.h"

KsBaseObject::~KsBaseObject() {
  m_count.store(0, std::memory_order_relaxed);
  m_dying.store(true, std::memory_order_release);
}

uint32_t KsBaseObject::Retain() {
  return static_cast<uint32_t>(m_count.fetch_add(1, std::memory_order_relaxed) + 1);
}

bool KsBaseObject::TryRetain() {
  int32_t count = m_count.load(std::memory_order_relaxed);
  while (count > 0) {
    if (m_count.compare_exchange_weak(count, count + 1, std::memory_order_acquire,
                                      std::memory_order_relaxed)) {
      return true;
    }
  }
  return false;
}

int32_t KsBaseObject::Release() {
  const int32_t count = m_count.fetch_sub(1, std::memory_order_acq_rel) - 1;
  if (count != 0) return count;
  // Nobody can take the object up again from here: weak holders only retain
  // through TryRetain, which refuses a zero count.
  m_dying.store(true, std::memory_order_release);
  if (m_hasWeakRef.load(std::memory_order_acquire)) WeakRef::ClearReferencesTo(this);
  delete this;
  return 0;
}
