#pragma once

#include "General/KsTypeSafeCollection.h"
#include "Projection/PanoProjection.h"

// An ordered list of projections (the projection resources of a context).
class ProjectionCollection : public KsTypeSafeCollection<PanoProjection> {
  HC_CLASS_HEADER(ProjectionCollection)
};
HC_OBJECT_COLLECTION_CLASS_OBJECT(ProjectionCollection)
