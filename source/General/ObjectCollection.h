#pragma once

#include "General/KsTypeSafeCollection.h"

// A collection of any model objects, written as "entry" elements under the
// class name "objects".
class ObjectCollection : public KsTypeSafeCollection<KsObject> {
  HC_CLASS_HEADER(ObjectCollection)
};
HC_OBJECT_COLLECTION_CLASS_OBJECT(ObjectCollection)
