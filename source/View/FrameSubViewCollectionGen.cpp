#include "View/FrameSubViewCollection.h"

HC_DEFINE_OBJECT_COLLECTION_CLASS(FrameSubViewCollection, FrameSubview, "subviews", "subview")
