#include "General/FloatCollection.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/MakeActionProperty.h"

HC_DEFINE_VALUE_COLLECTION_CLASS(FloatCollection, float, "Floats", "Float")
