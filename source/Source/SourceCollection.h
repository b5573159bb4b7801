#pragma once

#include "General/KsTypeSafeCollection.h"
#include "Source/PanoSource.h"

// An ordered list of sources (the sources of a presentation or view helper).
class SourceCollection : public KsTypeSafeCollection<PanoSource> {
  HC_CLASS_HEADER(SourceCollection)
};
HC_OBJECT_COLLECTION_CLASS_OBJECT(SourceCollection)
