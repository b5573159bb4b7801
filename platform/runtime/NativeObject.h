#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/runtime/Class.h"
#include "platform/runtime/Object.h"

namespace hc::runtime {

struct WeakCell;

// An object the run time itself counts: the instances of the root class
// "NSObject" and of its subclasses that nobody else counts. A new object
// holds one reference. When the last goes, the object's weak references are
// cleared, its destruction hooks run once each, its observations are dropped
// and it is deleted. Subclass it in C++ to give a class instance state.
class NativeObject : public Object {
 public:
  using DestructionHook = void (*)(Id object);

  explicit NativeObject(Class* cls);
  NativeObject(const NativeObject&) = delete;
  NativeObject& operator=(const NativeObject&) = delete;
  virtual ~NativeObject();

  // Null when the object is not counted by the run time.
  static NativeObject* From(Id object);

  void RetainNative() { m_count.fetch_add(1, std::memory_order_relaxed); }
  void ReleaseNative();
  // Retains unless the object is already on its way out.
  bool TryRetain();
  uint32_t GetCount() const { return m_count.load(std::memory_order_acquire); }

  // Runs the hook when the object is destroyed; a hook added twice under
  // the same key runs once.
  void AddDestructionHook(const void* key, DestructionHook hook);
  std::shared_ptr<WeakCell> ObtainWeakCell();

 private:
  std::atomic<uint32_t> m_count{1};
  std::mutex m_lock;
  std::vector<std::pair<const void*, DestructionHook>> m_hooks;
  std::shared_ptr<WeakCell> m_weakCell;
};

// The root class "NSObject" (made on first use): counting, "alloc", "new",
// "init", the undefined-key hooks (which answer UndefinedKey) and
// key-value observing of plain keys.
Class* RootClass();
// A new object of the class (one reference, owned by the caller).
Id AllocNative(Class* cls);
// Adds a destruction hook to a native object; false for other objects.
bool AddDestructionHook(Id object, const void* key, NativeObject::DestructionHook hook);

}  // namespace hc::runtime
