#include "Time/HcClockCollection.h"

HC_DEFINE_OBJECT_COLLECTION_CLASS(HcClockCollection, HcClock, "HcClockCollection", "HcClock")
