#pragma once

#include "General/KsTypeSafeCollection.h"
#include "View/HcVectorObject.h"

// The objects of a vector view, in drawing order; known to HcML as "vectors"
// with "vector" elements.
class VectorObjectCollection : public KsTypeSafeCollection<HcVectorObject> {
  HC_CLASS_HEADER(VectorObjectCollection)
};
HC_OBJECT_COLLECTION_CLASS_OBJECT(VectorObjectCollection)
