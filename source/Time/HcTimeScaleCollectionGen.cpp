#include "Time/HcTimeScaleCollection.h"

HC_DEFINE_OBJECT_COLLECTION_CLASS(HcTimeScaleCollection, HcTimeScale, "HcTimeScaleCollection", "HcTimeScale")
