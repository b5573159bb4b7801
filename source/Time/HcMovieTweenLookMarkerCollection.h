#pragma once

#include "General/KsTypeSafeCollection.h"
#include "Time/HcMovieTweenLookMarker.h"

// The markers of a movie tween in timeline order (nothing sorts them).
class HcMovieTweenLookMarkerCollection : public KsTypeSafeCollection<HcMovieTweenLookMarker> {
  HC_CLASS_HEADER(HcMovieTweenLookMarkerCollection)
};
HC_OBJECT_COLLECTION_CLASS_OBJECT(HcMovieTweenLookMarkerCollection)
