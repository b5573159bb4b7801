#include "Utilities/KsOperationCollection.h"

HC_DEFINE_OBJECT_COLLECTION_CLASS(KsOperationCollection, KsOperation, "KsOperationCollection", "KsOperation")
