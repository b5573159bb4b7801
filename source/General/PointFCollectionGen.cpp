#include "General/PointFCollection.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/MakeActionProperty.h"

HC_DEFINE_VALUE_COLLECTION_CLASS(PointFCollection, KsPointF, "Points", "Point")
