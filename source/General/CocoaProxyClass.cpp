#include "General/CocoaProxyClass.h"

#include <mutex>
#include <unordered_map>

#include "General/CocoaAccessors.h"
#include "General/CocoaBridge.h"
#include "General/HcClassMap.h"
#include "General/KsObjectCollectionBase.h"
#include "General/KsSimpleCollectionBase.h"
#include "KsTrace.h"
#include "Utilities/HcProperty.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/MessageSend.h"

namespace rt = hc::runtime;

namespace {

// Proxy class -> its class object, so that creating through a proxy class
// makes the class it was built for, whatever its external name.
struct ProxyClassTable {
  std::mutex lock;
  std::unordered_map<const rt::Class*, KsClassObject*> classObjects;
};

ProxyClassTable& Table() {
  static ProxyClassTable* table = new ProxyClassTable();
  return *table;
}

rt::Method ProxyEntry(const char* selector, const char* types, rt::Imp imp) {
  return rt::Method{rt::RegisterSelector(selector), types, imp, {}};
}

rt::RuntimeErr RetainImp(rt::Id self, const rt::Method&, std::span<const rt::Value>, rt::Value& result) {
  rt::Retain(self);
  result = rt::Value::Object(self);
  return rt::RuntimeErr::Ok;
}

rt::RuntimeErr ReleaseImp(rt::Id self, const rt::Method&, std::span<const rt::Value>, rt::Value&) {
  rt::Release(self);
  return rt::RuntimeErr::Ok;
}

rt::RuntimeErr RetainCountImp(rt::Id self, const rt::Method&, std::span<const rt::Value>, rt::Value& result) {
  // The sender's guard reference is not counted.
  result = rt::Value::UInt(rt::RetainCount(self) - 1);
  return rt::RuntimeErr::Ok;
}

rt::RuntimeErr DeallocImp(rt::Id, const rt::Method&, std::span<const rt::Value>, rt::Value&) {
  // A model object goes only when its own count reaches zero.
  KS_TRACE(KsTrace::kError, "Received -dealloc message for Cpp bridge object!");
  return rt::RuntimeErr::Ok;
}

// "alloc", "allocWithZone:" and "new": a new model object of the class the
// proxy class was built for, owned by the caller; nil for abstract classes.
rt::RuntimeErr CocoaProxyAlloc(rt::Id self, const rt::Method&, std::span<const rt::Value>, rt::Value& result) {
  result = rt::Value::Nil();
  KsClassObject* classObject = ClassObjectForCocoaClass(static_cast<rt::Class*>(self));
  if (!classObject) return rt::RuntimeErr::Ok;
  KsRef<KsObject> object;
  classObject->CreateObject(object);
  if (object) result = rt::Value::Object(GetCocoaObject(object.Get()));
  return rt::RuntimeErr::Ok;
}

void AddRootMethods(rt::Class* cls) {
  cls->AddMethods({
      ProxyEntry("retain", "@@:", &RetainImp),
      ProxyEntry("release", "v@:", &ReleaseImp),
      ProxyEntry("retainCount", "I@:", &RetainCountImp),
      ProxyEntry("dealloc", "v@:", &DeallocImp),
      ProxyEntry("ksPropertyValueForKey:", "@@:@", &PropertyValueForKeyImp),
      ProxyEntry("ksSetProperty:toValue:", "v@:@@", &SetPropertyToValueImp),
  });
  cls->GetMetaclass()->AddMethods({
      ProxyEntry("alloc", "@@:", &CocoaProxyAlloc),
      ProxyEntry("allocWithZone:", "@@:@", &CocoaProxyAlloc),
      ProxyEntry("new", "@@:", &CocoaProxyAlloc),
  });
}

bool IsCollectionClass(const KsRef<KsClassObject>& typeClass) {
  return typeClass && (typeClass->InheritsFrom(KsSimpleCollectionBase::ClassGetClassObject()) ||
                       typeClass->InheritsFrom(KsObjectCollectionBase::ClassGetClassObject()));
}

// The accessors of every property (inherited ones included), each recorded
// in the class object under its selector.
rt::MethodList MakeAccessors(KsClassObject* classObject) {
  HcPropertyList properties;
  classObject->GetPropertyList(properties, true);
  rt::MethodList methods;
  for (const KsRef<HcProperty>& property : properties) {
    const size_t first = methods.size();
    if (IsCollectionClass(property->GetPropertyTypeClass())) MakeCollectionAccessorMethods(property.Get(), methods);
    rt::Method getter;
    rt::Method setter;
    MakePropertyAccessorMethods(property.Get(), &getter, &setter);
    if (getter.imp) methods.push_back(getter);
    if (setter.imp) methods.push_back(setter);
    for (size_t i = first; i < methods.size(); ++i) {
      classObject->ObjC_RecordPropertyForSelector(methods[i].selector, property);
    }
  }
  return methods;
}

rt::Class* ObtainRunTimeClass(KsClassObject* classObject, bool* owned) {
  *owned = false;
  KsRef<KsClassObject> parent = classObject->GetParentClass();
  if (!parent) return GetCKsObjectClass();
  rt::Class* superclass = parent->GetCocoaClass();
  if (!superclass) return nullptr;
  const std::string name = CocoaProxyClassName(classObject);
  // A class of that name made elsewhere is used as it is.
  if (rt::Class* existing = rt::LookUpClass(name)) return existing;
  rt::Class* made = nullptr;
  if (rt::RuntimeFailed(rt::MakeClass(name, superclass, &made))) return rt::LookUpClass(name);
  *owned = true;
  return made;
}

}  // namespace

std::string CocoaProxyClassName(KsClassObject* classObject) {
  const std::string implName = classObject->GetImplName();
  if (implName == "PropertyProxy") return "C_" + std::string(classObject->GetName().View());
  return "C_" + implName;
}

KsClassObject* ClassObjectForCocoaClass(const rt::Class* cls) {
  ProxyClassTable& table = Table();
  std::lock_guard guard(table.lock);
  auto found = table.classObjects.find(cls);
  return found == table.classObjects.end() ? nullptr : found->second;
}

void MakeCocoaProxyClass(const KsRef<KsClassObject>& classObject) {
  if (!classObject || classObject->GetCocoaClass()) return;
  KsRef<KsClassObject> parent = classObject->GetParentClass();
  if (parent) MakeCocoaProxyClass(parent);
  bool owned = false;
  rt::Class* cls = ObtainRunTimeClass(classObject.Get(), &owned);
  if (!cls) {
    KS_TRACE(KsTrace::kError, "No proxy class for %@: its parent has none", classObject->GetName());
    return;
  }
  {
    ProxyClassTable& table = Table();
    std::lock_guard guard(table.lock);
    table.classObjects.emplace(cls, classObject.Get());
  }
  classObject->SetCocoaClass(cls, owned);
  if (!parent) AddRootMethods(cls);
  // Added last, so the accessors win over the class's own methods and over
  // everything inherited.
  if (rt::RuntimeFailed(cls->AddMethods(MakeAccessors(classObject.Get())))) {
    KS_TRACE(KsTrace::kError, "Accessors of %@ refused by the run time", classObject->GetName());
  }
}

void DisposeCocoaProxyClass(KsClassObject* classObject) {
  if (!classObject) return;
  rt::Class* cls = classObject->GetCocoaClass();
  if (!cls) return;
  {
    ProxyClassTable& table = Table();
    std::lock_guard guard(table.lock);
    auto found = table.classObjects.find(cls);
    if (found != table.classObjects.end() && found->second == classObject) table.classObjects.erase(found);
  }
  const bool owned = classObject->OwnsCocoaClass();
  classObject->ClearCocoaClasses();
  if (owned) rt::DisposeClass(cls);
}
