#include "Source/SourceCollection.h"

HC_DEFINE_OBJECT_COLLECTION_CLASS(SourceCollection, PanoSource, "sources", "source")
