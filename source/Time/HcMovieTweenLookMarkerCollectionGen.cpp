#include "Time/HcMovieTweenLookMarkerCollection.h"

HC_DEFINE_OBJECT_COLLECTION_CLASS(HcMovieTweenLookMarkerCollection, HcMovieTweenLookMarker,
                                  "HcMovieTweenLookMarkerCollection", "HcMovieTweenLookMarker")
