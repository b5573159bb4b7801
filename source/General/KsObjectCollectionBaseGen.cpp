#include "General/KsObjectCollectionBase.h"
#include "Utilities/HcProperty.h"
#include "Utilities/PropertyTraverser.h"

// Written out rather than made by HC_DEFINE_ABSTRACT_CLASS: a collection is
// written as its elements, not as its properties.
KsRef<KsClassObject> KsObjectCollectionBase::ClassGetClassObject() {
  static std::atomic<KsClassObject*> slot{nullptr};
  return HcClassMap::ObtainClassObject(
      slot, []() -> KsClassObject* { return new KsObjectCollectionBase::KsObjectCollectionBaseClass(); });
}

KsRef<KsClassObject> KsObjectCollectionBase::GetClassObject() const {
  return KsObjectCollectionBase::ClassGetClassObject();
}

PWStringRef KsObjectCollectionBase::KsObjectCollectionBaseClass::GetName() const {
  static const PWStringRef name("KsObjectCollectionBase");
  return name;
}

const char* KsObjectCollectionBase::KsObjectCollectionBaseClass::GetImplName() const {
  return "KsObjectCollectionBase";
}

KsRef<KsClassObject> KsObjectCollectionBase::KsObjectCollectionBaseClass::GetParentClass() const {
  return KsObject::ClassGetClassObject();
}

bool KsObjectCollectionBase::KsObjectCollectionBaseClass::IsAbstract() const { return true; }

void KsObjectCollectionBase::KsObjectCollectionBaseClass::CreateObject(KsRef<KsObject>& object) {
  object = nullptr;
}

void KsObjectCollectionBase::KsObjectCollectionBaseClass::SetupProperties() {}

void KsObjectCollectionBase::KsObjectCollectionBaseClass::GetElementProperty(KsRef<HcProperty>& property) {
  EnsurePropertiesSetUp();
  property = m_elementProperty;
}

eAppErr KsObjectCollectionBase::KsObjectCollectionBaseClass::TraverseProperties(KsObject* object,
                                                                               PropertyTraverser* traverser,
                                                                               bool) {
  EnsurePropertiesSetUp();
  auto* collection = dynamic_cast<KsObjectCollectionBase*>(object);
  if (!collection || !traverser) return KS_TRACE_ERR(AppErr::kBadArgument, "TraverseProperties");
  KsRef<HcProperty> element;
  GetElementProperty(element);
  if (!element) {
    // A defect of the class definition, never of data.
    KS_TRACE(KsTrace::kUnexpected, "failed assertion `%s'", "elementProperty");
    return KS_TRACE_ERR(AppErr::kBadArgument, "TraverseProperties");
  }
  // The count is read again before each element: a traverser may change it.
  for (uint32_t index = 0; index < collection->GetCount(); ++index) {
    KsRef<KsObject> value;
    if (AppErrFailed(collection->GetObjectByIndex(index, &value))) break;
    traverser->OnPropertyValue(object, element.Get(), static_cast<int32_t>(index), value);
  }
  return AppErr::kNoErr;
}
