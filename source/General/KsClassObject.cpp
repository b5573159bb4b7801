#include "General/KsClassObject.h"

#include "General/CocoaProxyClass.h"
#include "General/KsObject.h"
#include "KsTrace.h"
#include "Utilities/HcProperty.h"
#include "Utilities/PropertyTraverser.h"
#include "General/CocoaAccessors.h"

KsClassObject::KsClassObject() = default;
KsClassObject::~KsClassObject() { DisposeCocoaProxyClass(this); }

void KsClassObject::EnsurePropertiesSetUp() {
  if (m_setUp.load(std::memory_order_acquire)) return;
  std::lock_guard guard(m_setupLock);
  // A lookup made by SetupProperties itself comes back here on the same
  // thread and finds the set-up started: it sees the table built so far.
  if (m_setupStarted) return;
  m_setupStarted = true;
  SetupProperties();
  m_setUp.store(true, std::memory_order_release);
}

void KsClassObject::AddProperty(const KsRef<HcProperty>& property) {
  if (!property) return;
  const PWStringRef& name = property->GetName();
  if (m_byName.count(name) != 0 || m_byId.count(property->GetPropertyID()) != 0) return;
  m_byName.emplace(name, property);
  m_byId.emplace(property->GetPropertyID(), property);
}

void KsClassObject::CollectProperties(HcPropertyList& list, bool includeInherited) {
  EnsurePropertiesSetUp();
  if (includeInherited) {
    if (Ref parent = GetParentClass()) parent->CollectProperties(list, true);
  }
  for (const auto& entry : m_byName) list.push_back(entry.second);
}

void KsClassObject::GetPropertyList(HcPropertyList& list, bool includeInherited) {
  EnsurePropertiesSetUp();
  list.clear();
  CollectProperties(list, includeInherited);
}

void KsClassObject::GetPropertyById(KsRef<HcProperty>& property, int32_t propertyId) {
  EnsurePropertiesSetUp();
  auto found = m_byId.find(propertyId);
  if (found != m_byId.end()) {
    property = found->second;
    return;
  }
  if (Ref parent = GetParentClass()) {
    parent->GetPropertyById(property, propertyId);
    return;
  }
  property = nullptr;
}

void KsClassObject::GetPropertyForPropertyName(KsRef<HcProperty>& property, const PWStringRef& name) {
  EnsurePropertiesSetUp();
  property = nullptr;
  if (name.IsNull() || name.IsEmpty()) return;
  auto found = m_byName.find(name);
  if (found != m_byName.end()) {
    property = found->second;
    return;
  }
  if (Ref parent = GetParentClass()) parent->GetPropertyForPropertyName(property, name);
}

void KsClassObject::GetElementProperty(KsRef<HcProperty>& property) { property = nullptr; }

int32_t KsClassObject::GetPropertyIdForName(const PWStringRef& name) {
  KsRef<HcProperty> property;
  GetPropertyForPropertyName(property, name);
  return property ? property->GetPropertyID() : 0;
}

KsRef<HcProperty> KsClassObject::FindProperty(const PWStringRef& name) {
  KsRef<HcProperty> property;
  GetPropertyForPropertyName(property, name);
  return property;
}

KsRef<HcProperty> KsClassObject::FindPropertyById(int32_t propertyId) {
  KsRef<HcProperty> property;
  GetPropertyById(property, propertyId);
  return property;
}

bool KsClassObject::InheritsFrom(const Ref& classObject) const {
  if (!classObject) return false;
  if (classObject.Get() == this) return true;
  for (Ref current = GetParentClass(); current; current = current->GetParentClass()) {
    if (current == classObject) return true;
  }
  return false;
}

eAppErr KsClassObject::TraverseProperties(KsObject* object, PropertyTraverser* traverser,
                                          bool includeNonSerialized) {
  return TraversePropertiesOf(object, traverser, includeNonSerialized);
}

namespace {

template <class T>
void VisitValue(KsObject* object, HcProperty* property, PropertyTraverser* traverser) {
  T value{};
  const eAppErr err = property->GetValue(object, &value);
  if (err == AppErr::kNoValue) return;
  if (AppErrFailed(err)) {
    KS_TRACE(KsTrace::kWarning, "GetValue failed for property %@", property->GetName());
    return;
  }
  if constexpr (std::is_same_v<T, PWStringRef>) {
    if (value.IsNull()) return;
  } else if constexpr (std::is_same_v<T, KsRef<KsObject>>) {
    if (!value) return;
  }
  traverser->OnPropertyValue(object, property, -1, value);
}

void VisitProperty(KsObject* object, HcProperty* property, PropertyTraverser* traverser) {
  switch (property->GetPropertyType()) {
    case KsPropertyType::kFloat: return VisitValue<float>(object, property, traverser);
    case KsPropertyType::kInt: return VisitValue<int32_t>(object, property, traverser);
    case KsPropertyType::kUInt: return VisitValue<uint32_t>(object, property, traverser);
    case KsPropertyType::kString: return VisitValue<PWStringRef>(object, property, traverser);
    case KsPropertyType::kObject: return VisitValue<KsRef<KsObject>>(object, property, traverser);
    case KsPropertyType::kBool: return VisitValue<bool>(object, property, traverser);
    case KsPropertyType::kPointer: return VisitValue<void*>(object, property, traverser);
    case KsPropertyType::kPoint: return VisitValue<KsPointF>(object, property, traverser);
    case KsPropertyType::kSize: return VisitValue<KsSizeF>(object, property, traverser);
    case KsPropertyType::kRect: return VisitValue<KsRectF>(object, property, traverser);
    case KsPropertyType::kColor: return VisitValue<KsColorF>(object, property, traverser);
    case KsPropertyType::kDouble: return VisitValue<double>(object, property, traverser);
    case KsPropertyType::kPropertyList: return VisitValue<KsPropertyList>(object, property, traverser);
    case KsPropertyType::kInt64: return VisitValue<int64_t>(object, property, traverser);
    default:
      KS_TRACE(KsTrace::kError, "Property named %@ has unknown (invalid) type!", property->GetName());
  }
}

}  // namespace

eAppErr KsClassObject::TraversePropertiesOf(KsObject* object, PropertyTraverser* traverser,
                                            bool includeNonSerialized) {
  EnsurePropertiesSetUp();
  if (!object || !traverser) return KS_TRACE_ERR(AppErr::kBadArgument, "TraverseProperties");
  HcPropertyList list;
  GetPropertyList(list, true);
  for (const auto& property : list) {
    if (!includeNonSerialized && !property->GetShouldSerialize()) continue;
    VisitProperty(object, property.Get(), traverser);
  }
  return AppErr::kNoErr;
}

void KsClassObject::SetCocoaClass(hc::runtime::Class* cls, bool owned) {
  std::vector<hc::runtime::MethodList> instanceMethods;
  std::vector<hc::runtime::MethodList> classMethods;
  {
    std::lock_guard guard(m_cocoaLock);
    m_cocoaClass.store(cls, std::memory_order_release);
    m_ownsCocoaClass = owned;
    if (!cls) return;
    instanceMethods.swap(m_pendingInstanceMethods);
    classMethods.swap(m_pendingClassMethods);
  }
  for (auto& list : instanceMethods) cls->AddMethods(std::move(list));
  for (auto& list : classMethods) cls->GetMetaclass()->AddMethods(std::move(list));
}

void KsClassObject::ClearCocoaClasses() {
  std::lock_guard guard(m_cocoaLock);
  m_cocoaClass.store(nullptr, std::memory_order_release);
  m_ownsCocoaClass = false;
}

void KsClassObject::AddObjCInstanceMethods(hc::runtime::MethodList methods) {
  hc::runtime::Class* cls = nullptr;
  {
    std::lock_guard guard(m_cocoaLock);
    cls = m_cocoaClass.load(std::memory_order_acquire);
    if (!cls) {
      m_pendingInstanceMethods.push_back(std::move(methods));
      return;
    }
  }
  if (hc::runtime::RuntimeFailed(cls->AddMethods(std::move(methods)))) {
    KS_TRACE(KsTrace::kError, "Bridged methods of %@ refused by the run time", GetName());
  }
}

void KsClassObject::AddObjCClassMethods(hc::runtime::MethodList methods) {
  hc::runtime::Class* cls = nullptr;
  {
    std::lock_guard guard(m_cocoaLock);
    cls = m_cocoaClass.load(std::memory_order_acquire);
    if (!cls) {
      m_pendingClassMethods.push_back(std::move(methods));
      return;
    }
  }
  if (hc::runtime::RuntimeFailed(cls->GetMetaclass()->AddMethods(std::move(methods)))) {
    KS_TRACE(KsTrace::kError, "Bridged class methods of %@ refused by the run time", GetName());
  }
}

KsRef<HcProperty> KsClassObject::ObjC_GetPropertyForSelector(hc::runtime::Selector selector) {
  {
    std::lock_guard guard(m_cocoaLock);
    auto found = m_selectorCache.find(selector);
    if (found != m_selectorCache.end() && found->second) return found->second;
  }
  // A selector naming no property is looked up again next time.
  KsRef<HcProperty> property = LookUpPropertyForSelector(this, selector);
  if (property) ObjC_RecordPropertyForSelector(selector, property);
  return property;
}

void KsClassObject::ObjC_RecordPropertyForSelector(hc::runtime::Selector selector, const KsRef<HcProperty>& property) {
  std::lock_guard guard(m_cocoaLock);
  m_selectorCache[selector] = property;
}

void KsClassObject::ObjC_ClearSelectorCache() {
  std::lock_guard guard(m_cocoaLock);
  m_selectorCache.clear();
}
