#include "General/KsBaseObject.h"

#include <vector>

#include "General/WeakRef.h"

namespace {

// Deleting an object releases what it holds, which may delete more objects
// in turn: a long chain of objects, each holding the next, would nest one
// destructor call per link. Past this many nested deletions on a thread,
// objects wait in a list that the outermost deletion works through, so the
// stack stays bounded whatever the graph; shallow graphs die in the usual
// order.
constexpr int kMaxNestedDeletions = 64;

// Plain values, so that they outlive every other thread-local object.
thread_local int t_deletionDepth = 0;
thread_local std::vector<KsBaseObject*>* t_pendingDeletions = nullptr;

}  // namespace

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
  if (t_deletionDepth >= kMaxNestedDeletions && t_pendingDeletions) {
    t_pendingDeletions->push_back(this);
    return 0;
  }
  if (t_deletionDepth > 0) {
    ++t_deletionDepth;
    delete this;
    --t_deletionDepth;
    return 0;
  }
  // The outermost deletion on this thread: it owns the waiting list.
  std::vector<KsBaseObject*> pending;
  t_pendingDeletions = &pending;
  t_deletionDepth = 1;
  delete this;
  while (!pending.empty()) {
    KsBaseObject* next = pending.back();
    pending.pop_back();
    delete next;
  }
  t_deletionDepth = 0;
  t_pendingDeletions = nullptr;
  return 0;
}
