#include "General/Int64Collection.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/MakeActionProperty.h"

HC_DEFINE_VALUE_COLLECTION_CLASS(Int64Collection, int64_t, "Int64s", "Int64")
