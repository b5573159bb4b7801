#include "InterfaceCommon/ViewsetCollection.h"

HC_DEFINE_OBJECT_COLLECTION_CLASS(ViewsetCollection, Viewset, "viewsets", "viewset")
