#pragma once

#include <atomic>
#include <cstdint>

// The reference-counted root of every object: model objects, class objects,
// property descriptors and weak references. A new object holds one count;
// the last Release deletes it.
class KsBaseObject {
 public:
  KsBaseObject() = default;
  KsBaseObject(const KsBaseObject&) = delete;
  KsBaseObject& operator=(const KsBaseObject&) = delete;

  // Adds one count; answers the new count. Inline: nearly every reference
  // copy of the program comes through here.
  uint32_t Retain() { return static_cast<uint32_t>(m_count.fetch_add(1, std::memory_order_relaxed) + 1); }
  // Adds one count unless the count already reached zero (the object is
  // being destroyed); answers whether it did.
  bool TryRetain() {
    int32_t count = m_count.load(std::memory_order_relaxed);
    while (count > 0) {
      if (m_count.compare_exchange_weak(count, count + 1, std::memory_order_acquire, std::memory_order_relaxed)) {
        return true;
      }
    }
    return false;
  }
  // Takes one count; at zero clears the object's weak reference and deletes
  // the object. Answers the count after the decrement.
  virtual int32_t Release();

  int32_t GetRetainCount() const { return m_count.load(std::memory_order_relaxed); }
  bool IsDying() const { return m_dying.load(std::memory_order_acquire); }

  // Public so an object may also live on the stack or as a static.
  virtual ~KsBaseObject();

 private:
  friend class WeakRef;

  std::atomic<int32_t> m_count{1};
  std::atomic<bool> m_dying{false};
  // Set once the object has been given a weak reference, so objects that
  // never had one die without touching the weak-reference registry.
  std::atomic<bool> m_hasWeakRef{false};
};
