#pragma once

#include "General/KsTypeSafeCollection.h"
#include "Utilities/KsOperation.h"

// The operations a sequence runs, in order.
class KsOperationCollection : public KsTypeSafeCollection<KsOperation> {
  HC_CLASS_HEADER(KsOperationCollection)
};
HC_OBJECT_COLLECTION_CLASS_OBJECT(KsOperationCollection)
