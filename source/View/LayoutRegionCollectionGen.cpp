#include "View/LayoutRegionCollection.h"

HC_DEFINE_OBJECT_COLLECTION_CLASS(LayoutRegionCollection, LayoutRegion, "regions", "region")
