#pragma once

#include "General/KsTypeSafeCollection.h"
#include "Projection/CubeFace.h"

// The faces of a cubic projection, in order.
class CubeFaceCollection : public KsTypeSafeCollection<CubeFace> {
  HC_CLASS_HEADER(CubeFaceCollection)
};
HC_OBJECT_COLLECTION_CLASS_OBJECT(CubeFaceCollection)
