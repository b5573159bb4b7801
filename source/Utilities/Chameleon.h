#pragma once

#include "General/KsClassMacros.h"
#include "General/KsObject.h"

// Holds one object, PropValue, and answers to any property name: every name
// KsObject does not know is an object property reading and writing PropValue.
// Serves as the root when one object of any element name is loaded, and as
// the holder one object is written or reached by path from.
class Chameleon : public KsObject {
  HC_CLASS_HEADER(Chameleon)
 public:
  KsRef<KsObject> GetPropValue() const { return m_propValue; }
  // Announces change 200; always 0.
  eAppErr SetPropValue(const KsRef<KsObject>& value);

 private:
  KsRef<KsObject> m_propValue;
};
HC_CLASS_OBJECT_BEGIN(Chameleon, KsObject)
 public:
  void GetPropertyForPropertyName(KsRef<HcProperty>& property, const PWStringRef& name) override;
HC_CLASS_OBJECT_END
