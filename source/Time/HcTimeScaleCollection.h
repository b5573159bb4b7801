#pragma once

#include "General/KsTypeSafeCollection.h"
#include "Time/HcTimeScale.h"

// An ordered list of time scales.
class HcTimeScaleCollection : public KsTypeSafeCollection<HcTimeScale> {
  HC_CLASS_HEADER(HcTimeScaleCollection)
};
HC_OBJECT_COLLECTION_CLASS_OBJECT(HcTimeScaleCollection)
