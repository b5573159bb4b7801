#pragma once

#include <map>
#include <mutex>
#include <vector>

#include "General/KsObject.h"
#include "General/WeakRef.h"

class DelegatingProperty;

// Stands in for another object, its target, found by an object path
// (_TargetPath) against a context object (_ResolveContext, held weakly).
// Properties of the proxy read and write the properties of the same name of
// the current target, observers of the proxy hear of the target's changes,
// and retargeting the path moves all of that to the new target.
//
// There is one proxy class per target class, made at run time by
// RegisterClassObject and named "PropertyProxy_<class name>_"; proxies are
// created from that name (MakeObject). There is no plain proxy class.
class PropertyProxy : public KsObject {
 public:
  class PropertyProxyClass;
  using Ref = KsRef<PropertyProxy>;

  explicit PropertyProxy(const KsRef<PropertyProxyClass>& classObject);
  ~PropertyProxy() override;

  // Always empty: every proxy belongs to a proxy class of its target class.
  static KsRef<KsClassObject> ClassGetClassObject();
  KsRef<KsClassObject> GetClassObject() const override;

  // Makes and registers the proxy class of the target class; -2 for none.
  static eAppErr RegisterClassObject(const KsRef<KsClassObject>& targetClass);
  // "PropertyProxy_<target class name>_".
  static PWStringRef MakeProxyClassName(const KsRef<KsClassObject>& targetClass);

  PWStringRef GetTargetPath() const { return m_targetPath; }
  // Drops the current target and resolves anew when a live context is set.
  eAppErr SetTargetPath(const PWStringRef& path);
  KsRef<KsObject> GetResolveContext() const;
  eAppErr SetResolveContext(const KsRef<KsObject>& context);
  // The target, resolving first when needed; empty when unresolved.
  KsRef<KsObject> GetResolvedTarget();

  void AddObserver(const KsRef<KsObject>& observer, const PWStringRef& propertyName, uint32_t options) override;
  // A null name removes the observer from every name.
  void RemoveObserver(const KsRef<KsObject>& observer, const PWStringRef& propertyName) override;
  void ObservePropertyChange(const KsRef<KsObject>& object, const KsRef<HcProperty>& property,
                             const KsRef<KsObject>& description) override;

 private:
  eAppErr ResolveTarget();
  void AttachToTarget();
  void DetachFromTarget();
  void DropTarget();
  void RemoveObserverFromName(const KsRef<KsObject>& observer, const PWStringRef& propertyName);

  KsRef<PropertyProxyClass> m_classObject;
  std::map<PWStringRef, std::vector<WeakRef::Ref>, PWStringLessNoCase> m_observers;
  PWStringRef m_targetPath;
  WeakRef::Ref m_resolveContext;
  KsRef<KsObject> m_target;
};

// The class object of the proxies of one target class.
class PropertyProxy::PropertyProxyClass : public KsObject::KsObjectClass {
 public:
  PropertyProxyClass();
  ~PropertyProxyClass() override;

  // Sets the target class once, and with it the class name.
  void SetTargetClass(const KsRef<KsClassObject>& targetClass);
  KsRef<KsClassObject> GetTargetClassType() const { return m_targetClass; }

  PWStringRef GetName() const override { return mMyClassName; }
  const char* GetImplName() const override { return "PropertyProxy"; }
  KsRef<KsClassObject> GetParentClass() const override { return KsObject::ClassGetClassObject(); }
  bool IsAbstract() const override { return false; }
  void CreateObject(KsRef<KsObject>& object) override;
  eAppErr TraverseProperties(KsObject* object, PropertyTraverser* traverser, bool includeNonSerialized) override;
  // The target class's properties (all of them) as delegating descriptors,
  // then _ResolveContext and _TargetPath.
  void GetPropertyList(HcPropertyList& list, bool includeInherited) override;
  void CollectProperties(HcPropertyList& list, bool includeInherited) override;
  void GetPropertyById(KsRef<HcProperty>& property, int32_t propertyId) override;
  void GetPropertyForPropertyName(KsRef<HcProperty>& property, const PWStringRef& name) override;

  // The delegating descriptor of a target-class property, made on first use;
  // empty (with a warning) when the target class has no such property.
  KsRef<HcProperty> GetDelegatingProperty(const PWStringRef& name);
  const KsRef<HcProperty>& GetTargetPathProperty() const { return m_targetPathProperty; }
  const KsRef<HcProperty>& GetResolveContextProperty() const { return m_resolveContextProperty; }

 protected:
  void SetupProperties() override;

 private:
  KsRef<KsClassObject> m_targetClass;
  PWStringRef mMyClassName;
  KsRef<HcProperty> m_targetPathProperty;
  KsRef<HcProperty> m_resolveContextProperty;
  // Filled on demand from any thread that looks a name up.
  std::mutex m_delegatingLock;
  std::map<PWStringRef, KsRef<HcProperty>, PWStringLessNoCase> m_delegating;
};
