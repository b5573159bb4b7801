#pragma once

#include "General/KsTypeSafeCollection.h"
#include "View/LayoutRegion.h"

// The regions of a layout view, known to HcML as "regions" with "region"
// elements.
class LayoutRegionCollection : public KsTypeSafeCollection<LayoutRegion> {
  HC_CLASS_HEADER(LayoutRegionCollection)
};
HC_OBJECT_COLLECTION_CLASS_OBJECT(LayoutRegionCollection)
