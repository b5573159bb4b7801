#include "Projection/ProjectionCollection.h"

HC_DEFINE_OBJECT_COLLECTION_CLASS(ProjectionCollection, PanoProjection, "projections", "projection")
