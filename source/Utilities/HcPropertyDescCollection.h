#pragma once

#include "General/KsTypeSafeCollection.h"
#include "Utilities/HcPropertyDesc.h"

// The descriptions of a class's properties, written as "HcPropertyDesc"
// elements.
class HcPropertyDescCollection : public KsTypeSafeCollection<HcPropertyDesc> {
  HC_CLASS_HEADER(HcPropertyDescCollection)
 public:
  // One description per property of the class (inherited ones first,
  // collection properties included), in the class's list order.
  static KsRef<HcPropertyDescCollection> MakeForClass(const KsRef<KsClassObject>& classObject);
};
HC_OBJECT_COLLECTION_CLASS_OBJECT(HcPropertyDescCollection)
