#include "General/KsSimpleCollectionBase.h"
#include "Utilities/HcProperty.h"
#include "Utilities/PropertyTraverser.h"

// Written out rather than made by HC_DEFINE_ABSTRACT_CLASS: the value
// collections are written as their elements, not as their properties.
KsRef<KsClassObject> KsSimpleCollectionBase::ClassGetClassObject() {
  static std::atomic<KsClassObject*> slot{nullptr};
  return HcClassMap::ObtainClassObject(
      slot, []() -> KsClassObject* { return new KsSimpleCollectionBase::KsSimpleCollectionBaseClass(); });
}

KsRef<KsClassObject> KsSimpleCollectionBase::GetClassObject() const {
  return KsSimpleCollectionBase::ClassGetClassObject();
}

PWStringRef KsSimpleCollectionBase::KsSimpleCollectionBaseClass::GetName() const {
  static const PWStringRef name("KsSimpleCollectionBase");
  return name;
}

const char* KsSimpleCollectionBase::KsSimpleCollectionBaseClass::GetImplName() const {
  return "KsSimpleCollectionBase";
}

KsRef<KsClassObject> KsSimpleCollectionBase::KsSimpleCollectionBaseClass::GetParentClass() const {
  return KsObject::ClassGetClassObject();
}

bool KsSimpleCollectionBase::KsSimpleCollectionBaseClass::IsAbstract() const { return true; }

void KsSimpleCollectionBase::KsSimpleCollectionBaseClass::CreateObject(KsRef<KsObject>& object) {
  object = nullptr;
}

void KsSimpleCollectionBase::KsSimpleCollectionBaseClass::SetupProperties() {}

void KsSimpleCollectionBase::KsSimpleCollectionBaseClass::GetElementProperty(KsRef<HcProperty>& property) {
  EnsurePropertiesSetUp();
  property = m_elementProperty;
}

eAppErr KsSimpleCollectionBase::KsSimpleCollectionBaseClass::TraverseProperties(KsObject* object,
                                                                               PropertyTraverser* traverser,
                                                                               bool) {
  auto* collection = dynamic_cast<KsSimpleCollectionBase*>(object);
  if (!collection || !traverser) return KS_TRACE_ERR(AppErr::kBadArgument, "TraverseProperties");
  KsRef<HcProperty> element;
  GetElementProperty(element);
  if (!element) return KS_TRACE_ERR(AppErr::kBadArgument, "TraverseProperties");
  collection->TraverseElements(element.Get(), traverser);
  return AppErr::kNoErr;
}
