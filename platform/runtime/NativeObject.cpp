#include "platform/runtime/NativeObject.h"

#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/KeyValueObserving.h"
#include "platform/runtime/MessageSend.h"
#include "platform/runtime/WeakId.h"

namespace hc::runtime {

namespace {

void NativeRetain(Id object) { static_cast<NativeObject*>(object)->RetainNative(); }
void NativeRelease(Id object) { static_cast<NativeObject*>(object)->ReleaseNative(); }
uint32_t NativeCount(Id object) { return static_cast<NativeObject*>(object)->GetCount(); }
constexpr MemoryOps kNativeOps{&NativeRetain, &NativeRelease, &NativeCount};

RuntimeErr AllocImp(Id self, const Method&, std::span<const Value>, Value& result) {
  result = Value::AdoptObject(AllocNative(static_cast<Class*>(self)));
  return RuntimeErr::Ok;
}

// "init" takes over the caller's reference and hands it back as its result.
RuntimeErr InitImp(Id self, const Method&, std::span<const Value>, Value& result) {
  result = Value::AdoptObject(self);
  return RuntimeErr::Ok;
}

RuntimeErr RetainImp(Id self, const Method&, std::span<const Value>, Value& result) {
  Retain(self);
  result = Value::Object(self);
  return RuntimeErr::Ok;
}

RuntimeErr ReleaseImp(Id self, const Method&, std::span<const Value>, Value&) {
  Release(self);
  return RuntimeErr::Ok;
}

RuntimeErr RetainCountImp(Id self, const Method&, std::span<const Value>, Value& result) {
  // The sender's guard reference is not the caller's.
  result = Value::UInt(RetainCount(self) - 1);
  return RuntimeErr::Ok;
}

RuntimeErr UndefinedKeyImp(Id, const Method&, std::span<const Value>, Value&) { return RuntimeErr::UndefinedKey; }

RuntimeErr YesImp(Id, const Method&, std::span<const Value>, Value& result) {
  result = Value::Bool(true);
  return RuntimeErr::Ok;
}

RuntimeErr AddObserverImp(Id self, const Method&, std::span<const Value> arguments, Value&) {
  return AddKeyObserver(self, arguments[0].GetObject(), arguments[1].GetString(), arguments[3].GetPointer().pointer);
}

RuntimeErr RemoveObserverImp(Id self, const Method&, std::span<const Value> arguments, Value&) {
  return RemoveKeyObserver(self, arguments[0].GetObject(), arguments[1].GetString());
}

RuntimeErr DidChangeImp(Id self, const Method&, std::span<const Value> arguments, Value&) {
  NotifyKeyObservers(self, arguments[0].GetString(), KeyValueChange{});
  return RuntimeErr::Ok;
}

RuntimeErr WillChangeImp(Id, const Method&, std::span<const Value>, Value&) { return RuntimeErr::Ok; }

Method Entry(const char* selector, const char* types, Imp imp) {
  return Method{RegisterSelector(selector), types, imp, {}};
}

Class* MakeRootClass() {
  Class* root = nullptr;
  MakeClass("NSObject", nullptr, &root);
  root->SetMemoryOps(&kNativeOps);
  root->AddMethods({
      Entry("init", "@@:", &InitImp),
      Entry("retain", "@@:", &RetainImp),
      Entry("release", "v@:", &ReleaseImp),
      Entry("retainCount", "I@:", &RetainCountImp),
      Entry("valueForUndefinedKey:", "@@:@", &UndefinedKeyImp),
      Entry("setValue:forUndefinedKey:", "v@:@@", &UndefinedKeyImp),
      Entry("addObserver:forKeyPath:options:context:", "v@:@@I^v", &AddObserverImp),
      Entry("removeObserver:forKeyPath:", "v@:@@", &RemoveObserverImp),
      Entry("willChangeValueForKey:", "v@:@", &WillChangeImp),
      Entry("didChangeValueForKey:", "v@:@", &DidChangeImp),
  });
  root->GetMetaclass()->AddMethods({
      Entry("alloc", "@@:", &AllocImp),
      Entry("new", "@@:", &AllocImp),
      Entry("automaticallyNotifiesObserversForKey:", "B@:@", &YesImp),
  });
  return root;
}

}  // namespace

NativeObject::NativeObject(Class* cls) { isa = cls; }

NativeObject::~NativeObject() = default;

NativeObject* NativeObject::From(Id object) {
  if (!object || !object->isa || object->isa->GetMemoryOps() != &kNativeOps) return nullptr;
  return static_cast<NativeObject*>(object);
}

bool NativeObject::TryRetain() {
  uint32_t count = m_count.load(std::memory_order_acquire);
  while (count != 0) {
    if (m_count.compare_exchange_weak(count, count + 1, std::memory_order_acq_rel)) return true;
  }
  return false;
}

void NativeObject::ReleaseNative() {
  if (m_count.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
  std::shared_ptr<WeakCell> cell;
  std::vector<std::pair<const void*, DestructionHook>> hooks;
  {
    std::lock_guard guard(m_lock);
    cell = m_weakCell;
    hooks.swap(m_hooks);
  }
  if (cell) {
    std::lock_guard guard(cell->lock);
    cell->target = nullptr;
  }
  for (const auto& [key, hook] : hooks) hook(this);
  ForgetKeyObservers(this);
  delete this;
}

void NativeObject::AddDestructionHook(const void* key, DestructionHook hook) {
  std::lock_guard guard(m_lock);
  for (const auto& entry : m_hooks) {
    if (entry.first == key) return;
  }
  m_hooks.emplace_back(key, hook);
}

std::shared_ptr<WeakCell> NativeObject::ObtainWeakCell() {
  std::lock_guard guard(m_lock);
  if (!m_weakCell) {
    m_weakCell = std::make_shared<WeakCell>();
    m_weakCell->target = this;
  }
  return m_weakCell;
}

Class* RootClass() {
  static Class* root = MakeRootClass();
  return root;
}

Id AllocNative(Class* cls) { return cls ? new NativeObject(cls) : nullptr; }

bool AddDestructionHook(Id object, const void* key, NativeObject::DestructionHook hook) {
  NativeObject* native = NativeObject::From(object);
  if (!native) return false;
  native->AddDestructionHook(key, hook);
  return true;
}

WeakId::WeakId(Id object) {
  if (NativeObject* native = NativeObject::From(object)) m_cell = native->ObtainWeakCell();
}

ObjectRef WeakId::Load() const {
  if (!m_cell) return {};
  std::lock_guard guard(m_cell->lock);
  if (!m_cell->target || !m_cell->target->TryRetain()) return {};
  return ObjectRef::Adopt(m_cell->target);
}

}  // namespace hc::runtime
