#include "General/KsDataCollection.h"

HC_DEFINE_OBJECT_COLLECTION_CLASS(KsDataCollection, KsData, "KsDataCollection", "KsData")
