#include "General/WeakRef.h"

#include <memory>
#include <mutex>
#include <unordered_map>

namespace {

// target -> its weak reference; neither side is counted by the registry.
using Registry = std::unordered_map<const KsBaseObject*, WeakRef*>;

// Neither the lock nor the registry's holder is destroyed at exit: objects
// held by other statics may still die after this unit's statics are gone.
std::mutex& RegistryLock() {
  static std::mutex* lock = new std::mutex();
  return *lock;
}

// Made on first use and deleted again when it becomes empty.
std::unique_ptr<Registry>& RegistryPtr() {
  static auto* registry = new std::unique_ptr<Registry>();
  return *registry;
}

}  // namespace

void WeakRef::GetWeakRef(Ref& out, KsBaseObject* target) {
  out = nullptr;
  if (!target) return;
  std::lock_guard guard(RegistryLock());
  auto& registry = RegistryPtr();
  if (!registry) registry = std::make_unique<Registry>();
  auto found = registry->find(target);
  // A weak reference whose own count already reached zero is on its way out:
  // it is never handed out again; a fresh one takes its place.
  if (found != registry->end() && found->second->TryRetain()) {
    out = Ref::Adopt(found->second);
    return;
  }
  WeakRef* weak = new WeakRef();
  weak->SetTarget(target);
  (*registry)[target] = weak;
  target->m_hasWeakRef.store(true, std::memory_order_release);
  out = Ref::Adopt(weak);
}

KsRef<KsBaseObject> WeakRef::GetTarget(const WeakRef* weak) {
  if (!weak) return {};
  KsSpinLockGuard guard(weak->m_lock);
  // The target may be in its last Release right now; TryRetain refuses it,
  // so a dying object is never revived.
  if (weak->m_target && weak->m_target->TryRetain()) return KsRef<KsBaseObject>::Adopt(weak->m_target);
  return {};
}

const KsBaseObject* WeakRef::PeekTarget() const {
  KsSpinLockGuard guard(m_lock);
  return m_target;
}

void WeakRef::SetTarget(KsBaseObject* target) {
  KsSpinLockGuard guard(m_lock);
  m_target = target;
}

void WeakRef::ClearReferencesTo(KsBaseObject* object) {
  std::lock_guard guard(RegistryLock());
  auto& registry = RegistryPtr();
  if (!registry) return;
  auto found = registry->find(object);
  if (found == registry->end()) return;
  found->second->SetTarget(nullptr);
  registry->erase(found);
  if (registry->empty()) registry.reset();
}

size_t WeakRef::RegistrySize() {
  std::lock_guard guard(RegistryLock());
  return RegistryPtr() ? RegistryPtr()->size() : 0;
}

WeakRef::~WeakRef() {
  std::lock_guard guard(RegistryLock());
  auto& registry = RegistryPtr();
  KsBaseObject* target = m_target;
  if (!registry || !target) return;
  auto found = registry->find(target);
  // The entry may already belong to a newer weak reference of the target.
  if (found != registry->end() && found->second == this) {
    registry->erase(found);
    if (registry->empty()) registry.reset();
  }
}
