#pragma once

#include "General/KsTypeSafeCollection.h"
#include "Time/HcTween.h"

// An ordered list of tweens, known to HcML as "tweens" with "tween" elements.
class HcTweenCollection : public KsTypeSafeCollection<HcTween> {
  HC_CLASS_HEADER(HcTweenCollection)
};
HC_OBJECT_COLLECTION_CLASS_OBJECT(HcTweenCollection)
