#include "General/DoubleCollection.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/MakeActionProperty.h"

HC_DEFINE_VALUE_COLLECTION_CLASS(DoubleCollection, double, "Doubles", "Double")
