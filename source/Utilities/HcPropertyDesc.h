#pragma once

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "Utilities/HcProperty.h"

// A model object describing one property descriptor through read-only
// properties: name, flags, schema type name, id and classes. Without a
// descriptor every getter answers null, 0 or false.
class HcPropertyDesc : public KsObject {
  HC_CLASS_HEADER(HcPropertyDesc)
 public:
  HcPropertyDesc();
  ~HcPropertyDesc() override;

  eAppErr SetProperty(const KsRef<HcProperty>& property);
  KsRef<HcProperty> GetProperty() const;

  PWStringRef GetPropertyName() const;
  bool GetShouldSerialize() const;
  bool GetIsCollectionProperty() const;
  bool GetCanSet() const;
  bool GetCanGet() const;
  // "float", "int", … or, for an object property, its type class's
  // implementation name.
  PWStringRef GetPropertyType() const;
  uint32_t GetPropertyID() const;
  PWStringRef GetExposingClass() const;
  PWStringRef GetPropertyTypeClassName() const;

 private:
  KsRef<HcProperty> m_property;
};
HC_CLASS_OBJECT(HcPropertyDesc, KsObject)
