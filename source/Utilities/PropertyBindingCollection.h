#pragma once

#include "General/KsTypeSafeCollection.h"
#include "Utilities/HcPropertyBindingBase.h"

// An ordered list of property bindings, written as "HcPropertyBinding"
// elements.
class PropertyBindingCollection : public KsTypeSafeCollection<HcPropertyBindingBase> {
  HC_CLASS_HEADER(PropertyBindingCollection)
};
HC_OBJECT_COLLECTION_CLASS_OBJECT(PropertyBindingCollection)
