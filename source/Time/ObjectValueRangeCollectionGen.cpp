#include "Time/ObjectValueRangeCollection.h"

HC_DEFINE_OBJECT_COLLECTION_CLASS(ObjectValueRangeCollection, ObjectValueRange, "ObjectValueRangeCollection",
                                  "ObjectValueRange")
