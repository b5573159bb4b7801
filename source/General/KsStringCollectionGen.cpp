#include "General/KsStringCollection.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/MakeActionProperty.h"

HC_DEFINE_VALUE_COLLECTION_CLASS(KsStringCollection, PWStringRef, "Strings", "String")
