#pragma once

#include "Utilities/HcProperty.h"

// A property that is only announced: it can be observed, but has neither
// getter nor setter; its owner sends the notices itself.
class HcPropertyPlaceholder : public HcProperty {
 public:
  static KsRef<HcProperty> Create(const KsRef<KsClassObject>& exposingClass, int32_t propertyId,
                                  int32_t propertyType, const char* name) {
    auto property = KsMakeRef<HcPropertyPlaceholder>();
    property->Setup(kIndexed, false, exposingClass, propertyId, propertyType, name, false, KsRef<KsClassObject>());
    return property;
  }

  bool GetCanGet() const override { return false; }
  bool GetCanSet() const override { return false; }
};
