#include "View/VectorObjectCollection.h"

HC_DEFINE_OBJECT_COLLECTION_CLASS(VectorObjectCollection, HcVectorObject, "vectors", "vector")
