#include "Time/FloatBindingTupleCollection.h"

HC_DEFINE_OBJECT_COLLECTION_CLASS(FloatBindingTupleCollection, FloatBindingTuple, "bindingtuples", "bindingtuple")
