#pragma once

#include <cstdint>
#include <atomic>
#include <vector>

#include "General/KsBaseObject.h"
#include "General/KsClassObject.h"
#include "General/KsUUID.h"
#include "General/RefTempl.h"
#include "KsAppErr.h"
#include "PWString.h"
#include "platform/runtime/Object.h"

class KsClassObject;
class HcProperty;
class PropertyTraverser;
class PropertyBindingStorage;
class KsStringCollection;
class HcPropertyDescCollection;

// The base of every model class: name, UUID, class object and
// property-change notification. Observers are held weakly and told after
// each change of the property they observe, once the outermost change scope
// of that property closes.
//
// The run-time object header (the bridge's class word) is the first part a
// model object adds to its counted base: the object's identity on the
// run-time side is that header's address, and both sides share one count.
class KsObject : public KsBaseObject, protected hc::runtime::Object {
 public:
  class KsObjectClass;
  using Ref = RefTemplAbstract<KsBaseObject, KsObject>;

  KsObject();
  ~KsObject() override;

  static KsRef<KsClassObject> ClassGetClassObject();
  virtual KsRef<KsClassObject> GetClassObject() const;

  // Names. Setting the name directly sends no notice; a set through the
  // "Name" property does.
  eAppErr SetName(const PWStringRef& name);
  PWStringRef GetName() const;

  // UUIDs. None is assigned at construction.
  eAppErr GetUUID(KsUUID* uuid) const;
  eAppErr SetUUID(const KsUUID& uuid);
  eAppErr AssignUUID();
  eAppErr GetUUIDString(PWStringRef* text) const;
  eAppErr SetUUIDString(const PWStringRef& text);
  bool HasUUID() const { return !m_uuid.IsNull(); }
  const KsUUID& UUID() const { return m_uuid; }

  KsRef<KsObject> ThisRef() { return KsRef<KsObject>(this); }
  // The object as the run time sees it (not retained; its class word may
  // still be unbound, see GetCocoaObject).
  hc::runtime::Id GetCocoaId() { return this; }
  // The run-time class word.
  hc::runtime::Class* GetCocoaClass() const { return isa; }
  void SetCocoaClass(hc::runtime::Class* cls) { isa = cls; }
  // The model object behind a run-time identity the bridge handed out.
  static KsObject* FromCocoaId(hc::runtime::Id object) { return static_cast<KsObject*>(object); }
  // The observers alive now, each once.
  std::vector<KsRef<KsObject>> GetLiveObservers() const;
  // Copies through the object writer. Copy: a new object with this object's
  // property values, sharing the objects it holds. DeepCopy: the object and
  // everything below it, rebuilt (objects shared inside stay shared). Empty
  // when the object can't be written or its class can't create objects.
  void Copy(KsRef<KsObject>& copy);
  void DeepCopy(KsRef<KsObject>& copy);
  // A new list of the names of the class's properties, inherited ones first,
  // collection properties left out.
  KsRef<KsStringCollection> GetPropertyNames() const;
  // A new list describing each property of the class, inherited ones first,
  // collection properties included.
  KsRef<HcPropertyDescCollection> GetProperties() const;

  // Observers.
  virtual void AddObserver(const KsRef<KsObject>& observer, const PWStringRef& propertyName, uint32_t options);
  void AddObserverForId(const KsRef<KsObject>& observer, int32_t propertyId, uint32_t options);
  void AddPropertyObserver(const KsRef<KsObject>& observer, const KsRef<HcProperty>& property, uint32_t options);
  // A null name removes the observer from every property.
  virtual void RemoveObserver(const KsRef<KsObject>& observer, const PWStringRef& propertyName);
  // Id 0 removes the observer from every property.
  void RemoveObserverForId(const KsRef<KsObject>& observer, int32_t propertyId);
  // An empty property removes the observer from every property.
  void RemovePropertyObserver(const KsRef<KsObject>& observer, const KsRef<HcProperty>& property);
  // Called on each live observer after a change it observes.
  virtual void ObservePropertyChange(const KsRef<KsObject>& object, const KsRef<HcProperty>& property,
                                     const KsRef<KsObject>& description);
  bool HasObservers() const;

  // Change scopes (see DidChangeCaller).
  void WillChangeProperty(int32_t propertyId, KsRef<KsObject>& description);
  void DidChangeProperty(int32_t propertyId, KsRef<KsObject>& description);

 private:
  KsUUID m_uuid;
  PWStringRef m_name;
  // Made on the first registration; guarded by its own lock.
  PropertyBindingStorage* ObtainStorage();
  std::atomic<PropertyBindingStorage*> m_observers{nullptr};
};

// The scope a setter opens around its store: when the outermost scope of a
// property on an object closes, each live observer of that property is told
// once. A scope opened on an object that has no observers yet is kept on a
// per-thread list, so that an observer added while it is open still hears
// of the change when it closes.
class DidChangeCaller {
 public:
  DidChangeCaller(KsObject* object, int32_t propertyId) : m_object(object), m_propertyId(propertyId) {
    if (!m_object) return;
    if (m_object->HasObservers()) {
      m_object->WillChangeProperty(m_propertyId, m_description);
      m_counted = true;
    } else {
      OpenUncounted();
    }
  }
  ~DidChangeCaller() {
    if (!m_object) return;
    if (m_listed) CloseUncounted();
    if (m_counted) m_object->DidChangeProperty(m_propertyId, m_description);
  }
  DidChangeCaller(const DidChangeCaller&) = delete;
  DidChangeCaller& operator=(const DidChangeCaller&) = delete;

  // The description a collection fills in for its observers; empty when
  // nobody observes the property.
  const KsRef<KsObject>& GetDescription() const { return m_description; }

  // Called once an object gets its observer storage: each scope of this
  // thread still open on the object is counted from now on, as if it had
  // been opened with observers present.
  template <class Count>
  static void AdoptOpenScopes(const KsObject* object, Count count) {
    for (DidChangeCaller* scope = OpenUncountedScopes(); scope; scope = scope->m_next) {
      if (scope->m_object != object || scope->m_counted) continue;
      count(scope->m_propertyId);
      scope->m_counted = true;
    }
  }

 private:
  void OpenUncounted();
  void CloseUncounted();
  static DidChangeCaller* OpenUncountedScopes();

  KsObject* m_object;
  int32_t m_propertyId;
  bool m_counted = false;
  bool m_listed = false;
  DidChangeCaller* m_next = nullptr;
  KsRef<KsObject> m_description;
};

// The class object of KsObject, the root of every class chain.
class KsObject::KsObjectClass : public KsClassObject {
 public:
  PWStringRef GetName() const override;
  const char* GetImplName() const override { return "KsObject"; }
  KsRef<KsClassObject> GetParentClass() const override { return {}; }
  bool IsAbstract() const override { return true; }
  void CreateObject(KsRef<KsObject>& object) override { object = nullptr; }

 protected:
  void SetupProperties() override;
};
