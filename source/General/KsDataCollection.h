#pragma once

#include "General/KsData.h"
#include "General/KsTypeSafeCollection.h"

// An object collection of byte buffers.
class KsDataCollection : public KsTypeSafeCollection<KsData> {
  HC_CLASS_HEADER(KsDataCollection)
};
HC_OBJECT_COLLECTION_CLASS_OBJECT(KsDataCollection)
