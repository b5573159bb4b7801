#pragma once

#include "General/KsTypeSafeCollection.h"
#include "Time/FloatBindingTuple.h"

// The tuples of a float sequence: "bindingtuples" with "bindingtuple" elements in HcML.
class FloatBindingTupleCollection : public KsTypeSafeCollection<FloatBindingTuple> {
  HC_CLASS_HEADER(FloatBindingTupleCollection)
};
HC_OBJECT_COLLECTION_CLASS_OBJECT(FloatBindingTupleCollection)
