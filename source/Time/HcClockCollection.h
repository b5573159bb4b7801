#pragma once

#include "General/KsTypeSafeCollection.h"
#include "Time/HcClock.h"

// An ordered list of clocks (a clock's dependent clocks).
class HcClockCollection : public KsTypeSafeCollection<HcClock> {
  HC_CLASS_HEADER(HcClockCollection)
};
HC_OBJECT_COLLECTION_CLASS_OBJECT(HcClockCollection)
