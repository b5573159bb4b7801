#include "Utilities/PropertyProxy.h"

#include "General/HcClassMap.h"
#include "KsTrace.h"
#include "PWFormat.h"
#include "Utilities/DelegatingProperty.h"
#include "Utilities/DelegatingTraverser.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"
#include "Utilities/ObjectPath.h"

namespace {

constexpr int32_t kTargetPathId = 200;
constexpr int32_t kResolveContextId = 201;

}  // namespace

// ---------------------------------------------------------------------------
// The proxy object.

PropertyProxy::PropertyProxy(const KsRef<PropertyProxyClass>& classObject) : m_classObject(classObject) {}

// Registrations on the target end with this object's weak reference.
PropertyProxy::~PropertyProxy() = default;

KsRef<KsClassObject> PropertyProxy::ClassGetClassObject() { return {}; }

KsRef<KsClassObject> PropertyProxy::GetClassObject() const { return m_classObject; }

eAppErr PropertyProxy::RegisterClassObject(const KsRef<KsClassObject>& targetClass) {
  if (!targetClass) return KS_TRACE_ERR(AppErr::kBadArgument, "RegisterClassObject");
  auto proxyClass = KsMakeRef<PropertyProxyClass>();
  proxyClass->SetTargetClass(targetClass);
  HcClassMap::RegisterClassObject(proxyClass);
  return AppErr::kNoErr;
}

PWStringRef PropertyProxy::MakeProxyClassName(const KsRef<KsClassObject>& targetClass) {
  if (!targetClass) return {};
  return PWStringCreateWithFormat("PropertyProxy_%@_", targetClass->GetName());
}

eAppErr PropertyProxy::SetTargetPath(const PWStringRef& path) {
  m_targetPath = path;
  DropTarget();
  if (!m_targetPath.IsNull() && GetResolveContext()) return ResolveTarget();
  return AppErr::kNoErr;
}

KsRef<KsObject> PropertyProxy::GetResolveContext() const {
  return m_resolveContext ? m_resolveContext->GetTargetAs<KsObject>() : KsRef<KsObject>();
}

eAppErr PropertyProxy::SetResolveContext(const KsRef<KsObject>& context) {
  m_resolveContext = WeakRef::GetWeakRef(context.Get());
  DropTarget();
  if (context && !m_targetPath.IsNull()) return ResolveTarget();
  return AppErr::kNoErr;
}

KsRef<KsObject> PropertyProxy::GetResolvedTarget() {
  if (!m_target && !m_targetPath.IsNull() && GetResolveContext()) ResolveTarget();
  return m_target;
}

eAppErr PropertyProxy::ResolveTarget() {
  if (m_target) return AppErr::kNoErr;
  KsRef<KsObject> found;
  const eAppErr err = ResolveObjectPath(m_targetPath, GetResolveContext(), &found);
  if (AppErrFailed(err)) {
    DropTarget();
    return KS_TRACE_ERR(err, "ResolveTarget");
  }
  if (!found) return AppErr::kNoErr;
  KsRef<KsClassObject> targetClass = m_classObject ? m_classObject->GetTargetClassType() : KsRef<KsClassObject>();
  KsRef<KsClassObject> foundClass = found->GetClassObject();
  if (!foundClass || !foundClass->InheritsFrom(targetClass)) {
    DropTarget();
    return KS_TRACE_ERR(AppErr::kBadArgument, "ResolveTarget");
  }
  m_target = found;
  AttachToTarget();
  return AppErr::kNoErr;
}

void PropertyProxy::AttachToTarget() {
  if (!m_target) return;
  for (const auto& entry : m_observers) m_target->AddObserver(ThisRef(), entry.first, 0);
}

void PropertyProxy::DetachFromTarget() {
  if (!m_target) return;
  for (const auto& entry : m_observers) m_target->RemoveObserver(ThisRef(), entry.first);
}

void PropertyProxy::DropTarget() {
  DetachFromTarget();
  m_target = nullptr;
}

void PropertyProxy::AddObserver(const KsRef<KsObject>& observer, const PWStringRef& propertyName, uint32_t options) {
  if (!observer || propertyName.IsNull()) return;
  auto found = m_observers.find(propertyName);
  if (found == m_observers.end()) {
    found = m_observers.emplace(propertyName, std::vector<WeakRef::Ref>()).first;
    if (m_target) m_target->AddObserver(ThisRef(), propertyName, options);
  }
  found->second.push_back(WeakRef::GetWeakRef(observer.Get()));
}

void PropertyProxy::RemoveObserver(const KsRef<KsObject>& observer, const PWStringRef& propertyName) {
  if (!propertyName.IsNull()) {
    RemoveObserverFromName(observer, propertyName);
    return;
  }
  std::vector<PWStringRef> names;
  for (const auto& entry : m_observers) names.push_back(entry.first);
  for (const PWStringRef& name : names) RemoveObserverFromName(observer, name);
}

void PropertyProxy::RemoveObserverFromName(const KsRef<KsObject>& observer, const PWStringRef& propertyName) {
  auto found = m_observers.find(propertyName);
  if (found == m_observers.end()) return;
  std::vector<WeakRef::Ref>& list = found->second;
  std::erase_if(list, [&observer](const WeakRef::Ref& weak) {
    const KsBaseObject* target = weak ? weak->PeekTarget() : nullptr;
    return target == nullptr || target == observer.Get();
  });
  if (!list.empty()) return;
  const PWStringRef name = found->first;
  m_observers.erase(found);
  if (m_target) m_target->RemoveObserver(ThisRef(), name);
}

void PropertyProxy::ObservePropertyChange(const KsRef<KsObject>&, const KsRef<HcProperty>& property,
                                          const KsRef<KsObject>& description) {
  if (!property) return;
  auto found = m_observers.find(property->GetName());
  if (found == m_observers.end()) return;
  // A snapshot: an observer may add or remove observers while it is told.
  const std::vector<WeakRef::Ref> observers = found->second;
  KsRef<KsObject> self = ThisRef();
  for (const WeakRef::Ref& weak : observers) {
    if (KsRef<KsObject> observer = weak ? weak->GetTargetAs<KsObject>() : KsRef<KsObject>()) {
      observer->ObservePropertyChange(self, property, description);
    }
  }
}

// ---------------------------------------------------------------------------
// The class object of the proxies of one target class.

PropertyProxy::PropertyProxyClass::PropertyProxyClass() {
  KsRef<KsClassObject> self = ThisRef();
  m_targetPathProperty = HcPropertyDirectGet<PropertyProxy, PWStringRef>::Create(
      self, kTargetPathId, KsPropertyType::kString, "_TargetPath", true, &PropertyProxy::GetTargetPath,
      &PropertyProxy::SetTargetPath);
  m_resolveContextProperty = HcPropertyObjectDirectGet<PropertyProxy, KsObject>::Create(
      self, kResolveContextId, "_ResolveContext", false, &PropertyProxy::GetResolveContext,
      &PropertyProxy::SetResolveContext);
}

PropertyProxy::PropertyProxyClass::~PropertyProxyClass() = default;

void PropertyProxy::PropertyProxyClass::SetupProperties() {
  AddProperty(m_targetPathProperty);
  AddProperty(m_resolveContextProperty);
}

void PropertyProxy::PropertyProxyClass::SetTargetClass(const KsRef<KsClassObject>& targetClass) {
  if (m_targetClass || !targetClass) return;
  m_targetClass = targetClass;
  mMyClassName = MakeProxyClassName(targetClass);
}

void PropertyProxy::PropertyProxyClass::CreateObject(KsRef<KsObject>& object) {
  object = KsRef<KsObject>::Adopt(new PropertyProxy(KsRef<PropertyProxyClass>(this)));
}

KsRef<HcProperty> PropertyProxy::PropertyProxyClass::GetDelegatingProperty(const PWStringRef& name) {
  if (name.IsNull() || name.IsEmpty()) return {};
  std::lock_guard guard(m_delegatingLock);
  auto found = m_delegating.find(name);
  if (found != m_delegating.end()) return found->second;
  KsRef<HcProperty> targetProperty = m_targetClass ? m_targetClass->FindProperty(name) : KsRef<HcProperty>();
  if (!targetProperty) {
    KS_TRACE(KsTrace::kWarning, "PropertyProxy: Target class has no property named %@", name);
    return {};
  }
  auto delegating = KsMakeRef<DelegatingProperty>();
  delegating->SetupProperty(targetProperty, ThisRef());
  m_delegating.emplace(name, delegating);
  return delegating;
}

void PropertyProxy::PropertyProxyClass::GetPropertyForPropertyName(KsRef<HcProperty>& property,
                                                                   const PWStringRef& name) {
  if (PWStringEqualNoCase(name.View(), "_TargetPath")) {
    property = m_targetPathProperty;
  } else if (PWStringEqualNoCase(name.View(), "_ResolveContext")) {
    property = m_resolveContextProperty;
  } else {
    property = GetDelegatingProperty(name);
  }
}

void PropertyProxy::PropertyProxyClass::GetPropertyById(KsRef<HcProperty>& property, int32_t propertyId) {
  if (propertyId == kTargetPathId || propertyId == kResolveContextId) {
    KsClassObject::GetPropertyById(property, propertyId);
    return;
  }
  KsRef<HcProperty> targetProperty = m_targetClass ? m_targetClass->FindPropertyById(propertyId) : nullptr;
  property = targetProperty ? GetDelegatingProperty(targetProperty->GetName()) : KsRef<HcProperty>();
}

void PropertyProxy::PropertyProxyClass::GetPropertyList(HcPropertyList& list, bool includeInherited) {
  list.clear();
  CollectProperties(list, includeInherited);
}

void PropertyProxy::PropertyProxyClass::CollectProperties(HcPropertyList& list, bool) {
  if (m_targetClass) {
    HcPropertyList targetProperties;
    m_targetClass->GetPropertyList(targetProperties, true);
    for (const KsRef<HcProperty>& targetProperty : targetProperties) {
      if (KsRef<HcProperty> delegating = GetDelegatingProperty(targetProperty->GetName())) list.push_back(delegating);
    }
  }
  list.push_back(m_resolveContextProperty);
  list.push_back(m_targetPathProperty);
}

eAppErr PropertyProxy::PropertyProxyClass::TraverseProperties(KsObject* object, PropertyTraverser* traverser,
                                                              bool includeNonSerialized) {
  auto* proxy = dynamic_cast<PropertyProxy*>(object);
  if (!proxy || !traverser) return KS_TRACE_ERR(AppErr::kBadArgument, "TraverseProperties");
  PWStringRef path;
  if (!AppErrFailed(m_targetPathProperty->GetValue(object, &path)) && !path.IsNull()) {
    traverser->OnPropertyValue(object, m_targetPathProperty.Get(), -1, path);
  }
  // The context and the target's values travel under descriptors that are
  // not serialised: a traversal for writing leaves them out.
  if (!includeNonSerialized) return AppErr::kNoErr;
  KsRef<KsObject> context;
  if (!AppErrFailed(m_resolveContextProperty->GetValue(object, &context)) && context) {
    traverser->OnPropertyValue(object, m_resolveContextProperty.Get(), -1, context);
  }
  KsRef<KsObject> target = proxy->GetResolvedTarget();
  if (!target) return AppErr::kNoErr;
  auto relay = KsMakeRef<DelegatingTraverser>();
  relay->SetProxyClassObject(ThisRef());
  relay->SetProxyTraverser(KsRef<PropertyTraverser>(traverser));
  relay->SetProxyObject(KsRef<KsObject>(object));
  KsRef<KsClassObject> targetClass = target->GetClassObject();
  if (targetClass) targetClass->TraverseProperties(target.Get(), relay.Get(), includeNonSerialized);
  return AppErr::kNoErr;
}
