#include "Projection/CubeFaceCollection.h"

HC_DEFINE_OBJECT_COLLECTION_CLASS(CubeFaceCollection, CubeFace, "CubeFaceCollection", "CubeFace")
