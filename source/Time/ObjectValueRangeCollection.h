#pragma once

#include "General/KsTypeSafeCollection.h"
#include "Time/ObjectValueRange.h"

// Ranges in the order they were added; nothing sorts them or checks for overlaps.
class ObjectValueRangeCollection : public KsTypeSafeCollection<ObjectValueRange> {
  HC_CLASS_HEADER(ObjectValueRangeCollection)
};
HC_OBJECT_COLLECTION_CLASS_OBJECT(ObjectValueRangeCollection)
