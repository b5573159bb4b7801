#pragma once

#include "General/KsTypeSafeCollection.h"
#include "View/FrameSubview.h"

// The members of a frame view, known to HcML as "subviews" with "subview"
// elements.
class FrameSubViewCollection : public KsTypeSafeCollection<FrameSubview> {
  HC_CLASS_HEADER(FrameSubViewCollection)
};
HC_OBJECT_COLLECTION_CLASS_OBJECT(FrameSubViewCollection)
