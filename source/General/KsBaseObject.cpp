#include "General/KsBaseObject.h"

#include "General/WeakRef.h"

KsBaseObject::~KsBaseObject() {
  m_count.store(0, std::memory_order_relaxed);
  m_dying.store(true, std::memory_order_release);
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
