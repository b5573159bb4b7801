#include "platform/runtime/Class.h"

#include <map>
#include <string>

#include "platform/runtime/ClassRegistry.h"

namespace hc::runtime {

namespace {

// Bumped whenever any class gains methods: caches of subclasses then go stale.
std::atomic<uint64_t> g_methodGeneration{1};

void NoRetain(Id) {}
void NoRelease(Id) {}
uint32_t NoCount(Id) { return 1; }
// Classes live until the process ends: counting them does nothing.
constexpr MemoryOps kClassMemoryOps{&NoRetain, &NoRelease, &NoCount};

struct Registry {
  std::shared_mutex lock;
  std::map<std::string, Class*, std::less<>> classes;
};

Registry& GetRegistry() {
  static Registry* registry = new Registry();
  return *registry;
}

}  // namespace

Class::Class(std::string name, Class* superclass, bool isMetaclass)
    : m_name(std::move(name)), m_superclass(superclass), m_isMetaclass(isMetaclass) {
  if (isMetaclass) m_memoryOps.store(&kClassMemoryOps);
}

bool Class::InheritsFrom(const Class* other) const {
  for (const Class* current = this; current; current = current->m_superclass) {
    if (current == other) return true;
  }
  return false;
}

RuntimeErr Class::AddMethods(MethodList list) {
  for (Method& method : list) {
    if (!method.selector || !method.imp) return RuntimeErr::BadTypeString;
    auto signature = ParseTypeString(method.types);
    if (!signature || signature->arguments.size() != SelectorArity(method.selector)) {
      return RuntimeErr::BadTypeString;
    }
    method.signature = std::move(*signature);
  }
  {
    std::unique_lock guard(m_listLock);
    m_lists.push_back(std::make_shared<const MethodList>(std::move(list)));
  }
  g_methodGeneration.fetch_add(1, std::memory_order_acq_rel);
  return RuntimeErr::Ok;
}

size_t Class::GetMethodListCount() const {
  std::shared_lock guard(m_listLock);
  return m_lists.size();
}

const Method* Class::FindUncached(Selector selector) const {
  for (const Class* current = this; current; current = current->m_superclass) {
    std::shared_lock guard(current->m_listLock);
    for (auto list = current->m_lists.rbegin(); list != current->m_lists.rend(); ++list) {
      for (const Method& method : **list) {
        if (method.selector == selector) return &method;
      }
    }
  }
  return nullptr;
}

const Method* Class::FindMethod(Selector selector) const {
  const uint64_t generation = g_methodGeneration.load(std::memory_order_acquire);
  std::lock_guard guard(m_cacheLock);
  if (m_cacheGeneration != generation) {
    m_cache.clear();
    m_cacheGeneration = generation;
  }
  auto found = m_cache.find(selector);
  if (found != m_cache.end()) return found->second;
  const Method* method = FindUncached(selector);
  m_cache.emplace(selector, method);
  return method;
}

const MemoryOps* Class::GetMemoryOps() const {
  for (const Class* current = this; current; current = current->m_superclass) {
    if (const MemoryOps* ops = current->m_memoryOps.load(std::memory_order_acquire)) return ops;
  }
  return nullptr;
}

void Retain(Id object) {
  if (!object || !object->isa) return;
  if (const MemoryOps* ops = object->isa->GetMemoryOps()) ops->retain(object);
}

void Release(Id object) {
  if (!object || !object->isa) return;
  if (const MemoryOps* ops = object->isa->GetMemoryOps()) ops->release(object);
}

uint32_t RetainCount(Id object) {
  if (!object || !object->isa) return 0;
  const MemoryOps* ops = object->isa->GetMemoryOps();
  return ops ? ops->retainCount(object) : 0;
}

Class* LookUpClass(std::string_view name) {
  Registry& registry = GetRegistry();
  std::shared_lock guard(registry.lock);
  auto found = registry.classes.find(name);
  return found == registry.classes.end() ? nullptr : found->second;
}

RuntimeErr MakeClass(std::string_view name, Class* superclass, Class** made) {
  if (made) *made = nullptr;
  Registry& registry = GetRegistry();
  std::unique_lock guard(registry.lock);
  if (registry.classes.count(name) != 0) return RuntimeErr::ClassExists;
  Class* rootClass = superclass;
  while (rootClass && rootClass->GetSuperclass()) rootClass = rootClass->GetSuperclass();
  auto* metaclass = new Class(std::string(name), superclass ? superclass->GetMetaclass() : nullptr, true);
  auto* cls = new Class(std::string(name), superclass, false);
  cls->isa = metaclass;
  // Every metaclass is an instance of the root's metaclass (the root's own
  // metaclass included).
  metaclass->isa = rootClass ? rootClass->GetMetaclass() : metaclass;
  registry.classes.emplace(std::string(name), cls);
  if (made) *made = cls;
  return RuntimeErr::Ok;
}

void DisposeClass(Class* cls) {
  if (!cls || cls->IsMetaclass()) return;
  Registry& registry = GetRegistry();
  {
    std::unique_lock guard(registry.lock);
    auto found = registry.classes.find(cls->GetName());
    if (found == registry.classes.end() || found->second != cls) return;
    registry.classes.erase(found);
  }
  g_methodGeneration.fetch_add(1, std::memory_order_acq_rel);
  delete cls->GetMetaclass();
  delete cls;
}

}  // namespace hc::runtime
