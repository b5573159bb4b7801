#pragma once

#include <cstdint>

#include "General/KsObjectCollectionBase.h"
#include "KsTrace.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"
#include "Utilities/MakeActionProperty.h"

// An object collection whose elements are Ts. Only ever a base: each element
// class has a named concrete collection class with its class object.
//
// Adding one (for elements of class Element, known to data as "things"):
//   ThingCollection.h:   class ThingCollection : public KsTypeSafeCollection<Element> {
//                          HC_CLASS_HEADER(ThingCollection) };
//                        HC_OBJECT_COLLECTION_CLASS_OBJECT(ThingCollection)
//   ThingCollectionGen.cpp:
//                        HC_DEFINE_OBJECT_COLLECTION_CLASS(ThingCollection, Element, "things", "Element")
// then one accessor line in the registry.
template <class T>
class KsTypeSafeCollection : public KsObjectCollectionBase {
 public:
  eAppErr Add(const KsRef<T>& object) { return InternalAdd(object); }
  eAppErr InsertAt(uint32_t index, const KsRef<T>& object) { return InternalInsertAt(index, object); }
  eAppErr SetAt(uint32_t index, const KsRef<T>& object) { return InternalSetAt(index, object); }
  // Removal in the shape of an indexed setter; the object is not used.
  eAppErr RemoveNoSet(uint32_t index, const KsRef<T>&) { return RemoveAt(index); }

  eAppErr GetByIndex(uint32_t index, KsRef<T>* object) const {
    KsRef<KsObject> element;
    const eAppErr err = GetObjectByIndex(index, &element);
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "GetByIndex");
    if (!object) return KS_TRACE_ERR(AppErr::kBadArgument, "GetByIndex");
    *object = element.template DynamicCast<T>();
    return AppErr::kNoErr;
  }

  // The element, or empty when the index is out of range.
  KsRef<T> GetByIndex(uint32_t index) const {
    if (index >= GetCount()) return {};
    KsRef<KsObject> element;
    GetObjectByIndex(index, &element);
    return element.template DynamicCast<T>();
  }

  eAppErr GetByName(const PWStringRef& name, KsRef<T>* object) const {
    KsRef<KsObject> element;
    const eAppErr err = GetObjectByName(name, &element);
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "GetByName");
    if (!object) return KS_TRACE_ERR(AppErr::kBadArgument, "GetByName");
    *object = element.template DynamicCast<T>();
    return AppErr::kNoErr;
  }

  bool IsLegalElement(const KsRef<KsObject>& object) const override {
    return object && dynamic_cast<T*>(object.Get()) != nullptr;
  }

  // The element descriptor for an action name ("N", "+N", "-N"); empty for
  // any other name.
  static KsRef<HcProperty> MakeActionProperty(const PWStringRef& name, const KsRef<KsClassObject>& classObject) {
    return MakeObjectActionProperty<KsTypeSafeCollection<T>, T>(name, classObject);
  }
};

// The class object of a concrete object collection X (see above).
#define HC_OBJECT_COLLECTION_CLASS_OBJECT(X)                                                          \
  HC_CLASS_OBJECT_BEGIN(X, KsObjectCollectionBase)                                                    \
   public:                                                                                            \
    void GetPropertyForPropertyName(KsRef<HcProperty>& property, const PWStringRef& name) override;   \
  HC_CLASS_OBJECT_END

// X's class object: external name, the element property (id 1, named
// ElementName, whose setter is Add) and "Count" (id 2), and action names.
#define HC_DEFINE_OBJECT_COLLECTION_CLASS(X, T, ExternalName, ElementName)                             \
  HC_DEFINE_CLASS(X, KsObjectCollectionBase, ExternalName)                                             \
  void X::X##Class::SetupProperties() {                                                                \
    KsRef<KsClassObject> self = ThisRef();                                                             \
    KsRef<HcProperty> element =                                                                        \
        HcPropertyObjectDirectGet<X, T>::Create(self, 1, ElementName, false, nullptr, &X::Add, true); \
    SetElementProperty(element);                                                                       \
    AddProperty(element);                                                                              \
    AddProperty(HcPropertyDirectGet<X, uint32_t>::Create(self, 2, KsPropertyType::kUInt, "Count", false, \
                                                         &X::GetCount, nullptr));                      \
  }                                                                                                    \
  void X::X##Class::GetPropertyForPropertyName(KsRef<HcProperty>& property, const PWStringRef& name) { \
    KsClassObject::GetPropertyForPropertyName(property, name);                                         \
    if (!property) property = X::MakeActionProperty(name, ThisRef());                                  \
  }
