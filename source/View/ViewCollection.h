#pragma once

#include "General/KsTypeSafeCollection.h"
#include "View/HcView.h"

// An ordered list of views (children, a region's views, hit-test results),
// known to HcML as "views" with "view" elements.
class ViewCollection : public KsTypeSafeCollection<HcView> {
  HC_CLASS_HEADER(ViewCollection)
};
HC_OBJECT_COLLECTION_CLASS_OBJECT(ViewCollection)
