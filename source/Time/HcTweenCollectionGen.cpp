#include "Time/HcTweenCollection.h"

HC_DEFINE_OBJECT_COLLECTION_CLASS(HcTweenCollection, HcTween, "tweens", "tween")
