#include "General/IntCollection.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/MakeActionProperty.h"

HC_DEFINE_VALUE_COLLECTION_CLASS(IntCollection, int32_t, "Ints", "Int")
