#pragma once

#include "General/KsTypeSafeCollection.h"
#include "InterfaceCommon/SourceDescription.h"

// A presentation's source descriptions, one per source.
class SourceDescriptionCollection : public KsTypeSafeCollection<SourceDescription> {
  HC_CLASS_HEADER(SourceDescriptionCollection)
};
HC_OBJECT_COLLECTION_CLASS_OBJECT(SourceDescriptionCollection)
