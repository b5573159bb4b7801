#include "General/KsObjectCollectionBase.h"
#include "General/CocoaMethod.h"
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

namespace {

using C = KsObjectCollectionBase;
using hc::runtime::Value;

// The selectors name the object before the index; the operations take the
// index first.
eAppErr SetObjectAtIndex(C& self, KsRef<KsObject> object, uint32_t index) { return self.SetObjectAt(index, object); }
eAppErr InsertObjectAtIndex(C& self, KsRef<KsObject> object, uint32_t index) {
  return self.InsertObjectAt(index, object);
}

// An out-pointer, when given, receives the element's run-time object (nil
// when there is none).
eAppErr HandOut(eAppErr err, const KsRef<KsObject>& element, Value* out) {
  if (out) *out = cocoa_method::ToValue(element);
  return err;
}
eAppErr GetObjectAtIndex(C& self, Value* out, uint32_t index) {
  KsRef<KsObject> element;
  const eAppErr err = self.GetObjectByIndex(index, &element);
  return HandOut(err, element, out);
}
eAppErr GetObjectWithName(C& self, Value* out, PWStringRef name) {
  KsRef<KsObject> element;
  const eAppErr err = self.GetObjectByName(name, &element);
  return HandOut(err, element, out);
}
void Clear(C& self) { self.RemoveAllObjects(); }

}  // namespace

void KsObjectCollectionBase::KsObjectCollectionBaseClass::SetupProperties() {
  AddObjCInstanceMethods({
      CocoaMethod<&C::ContainsObject>("contains:", "B@:@"),
      CocoaMethod<&C::IndexOfObject>("indexOf:", "i@:@"),
      CocoaMethod<&Clear>("clear", "v@:"),
      CocoaMethod<&C::GetCount>("count", "I@:"),
      CocoaMethod<&SetObjectAtIndex>("setObject:atIndex:", "i@:@I"),
      CocoaMethod<&InsertObjectAtIndex>("insertObject:atIndex:", "i@:@I"),
      CocoaMethod<&C::RemoveObject>("removeObject:", "i@:@"),
      CocoaMethod<&C::AddObject>("addObject:", "i@:@"),
      CocoaMethod<&GetObjectAtIndex>("getObject:atIndex:", "i@:^@I"),
      CocoaMethod<&GetObjectWithName>("getObject:withName:", "i@:^@@"),
      CocoaMethod<&C::RemoveAt>("removeAt:", "i@:I"),
      CocoaMethod<&C::AddObjects>("unionWithCollection:", "i@:@"),
      CocoaMethod<&C::AddUniqueObjects>("mergeWithCollection:", "i@:@"),
      CocoaMethod<&C::CollectionByIntersectingCollection>("collectionByIntersectingCollection:", "@@:@"),
      CocoaMethod<&C::CollectionByExcludingCollection>("collectionByExcludingCollection:", "@@:@"),
      CocoaMethod<&C::SubsetOfCollection>("subsetOfCollectionFrom:to:", "@@:II"),
  });
}

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
