#include "General/ObjectCollection.h"

HC_DEFINE_OBJECT_COLLECTION_CLASS(ObjectCollection, KsObject, "objects", "entry")
