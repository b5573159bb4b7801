#pragma once

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "General/RefTempl.h"
#include "KsAppErr.h"
#include "Utilities/HcProperty.h"
#include "Utilities/KsPropertyType.h"

class KsValueWrapper;
class PropertyTraverser;

// The base of the value collections: ordered lists of plain values (numbers,
// points, strings). Unlike the object collections they do not announce their
// own changes; only a set through the element property is announced, by the
// descriptor. Elements can be moved without knowing their type through
// KsValueWrapper.
class KsSimpleCollectionBase : public KsObject {
  HC_CLASS_HEADER(KsSimpleCollectionBase)
 public:
  virtual uint32_t GetCount() const = 0;
  virtual eAppErr RemoveAt(uint32_t index) = 0;
  // The element type code.
  virtual KsPropertyType::PropertyType GetPropertyType() const = 0;
  virtual eAppErr SetWrappedValueAt(uint32_t index, const KsRef<KsValueWrapper>& value) = 0;
  virtual eAppErr InsertWrappedValueAt(uint32_t index, const KsRef<KsValueWrapper>& value) = 0;
  virtual eAppErr GetWrappedValueByIndex(uint32_t index, KsRef<KsValueWrapper>* value) = 0;
  // Hands every element, in index order, to the traverser as a value of the
  // element property at its index (how the collection is written).
  virtual void TraverseElements(HcProperty* elementProperty, PropertyTraverser* traverser) = 0;
};

HC_CLASS_OBJECT_BEGIN(KsSimpleCollectionBase, KsObject)
 public:
  bool IsCollection() const override { return true; }
  // The descriptor every element is written under; set up on first use.
  void GetElementProperty(KsRef<HcProperty>& property) override;

 protected:
  // Each concrete class's SetupProperties stores its element property here.
  void SetElementProperty(const KsRef<HcProperty>& property) { m_elementProperty = property; }

 private:
  KsRef<HcProperty> m_elementProperty;
HC_CLASS_OBJECT_END

// The class object pattern of a concrete value collection X of element type
// T: in X's header, after the class, HC_VALUE_COLLECTION_CLASS_OBJECT(X); in
// XGen.cpp, HC_DEFINE_VALUE_COLLECTION_CLASS(X, T, "ExternalName",
// "ElementPropertyName"). X names its element type code kElementType and the
// class its element descriptors address ElementCollection. The class declares
// the element property (id 1, whose setter is Add) and "Count" (id 2), and
// answers action names ("N", "+N", "-N") with element descriptors.
#define HC_VALUE_COLLECTION_CLASS_OBJECT(X)                                                           \
  HC_CLASS_OBJECT_BEGIN(X, KsSimpleCollectionBase)                                                    \
   public:                                                                                            \
    void GetPropertyForPropertyName(KsRef<HcProperty>& property, const PWStringRef& name) override;   \
  HC_CLASS_OBJECT_END

#define HC_DEFINE_VALUE_COLLECTION_CLASS(X, T, ExternalName, ElementName)                              \
  HC_DEFINE_CLASS(X, KsSimpleCollectionBase, ExternalName)                                             \
  void X::X##Class::SetupProperties() {                                                                \
    KsRef<KsClassObject> self = ThisRef();                                                             \
    KsRef<HcProperty> element = HcPropertyDirectGet<X, T>::Create(self, 1, X::kElementType, ElementName, \
                                                                  false, nullptr, &X::Add, true);     \
    SetElementProperty(element);                                                                       \
    AddProperty(element);                                                                              \
    AddProperty(HcPropertyDirectGet<X, uint32_t>::Create(self, 2, KsPropertyType::kUInt, "Count", false, \
                                                         &X::GetCount, nullptr));                      \
  }                                                                                                    \
  void X::X##Class::GetPropertyForPropertyName(KsRef<HcProperty>& property, const PWStringRef& name) { \
    KsClassObject::GetPropertyForPropertyName(property, name);                                         \
    if (!property) {                                                                                   \
      property = MakeActionPropertyImpl<X::ElementCollection, T>(name, X::kElementType, ThisRef());   \
    }                                                                                                  \
  }
