#pragma once

#include "General/KsTypeSafeCollection.h"
#include "InterfaceCommon/Viewset.h"

// The viewsets of a presentation (the scene's "hc://Viewsets"), found by
// name and index; known to HcML as "viewsets" with "viewset" elements
// ("ViewsetCollection" is read as well).
class ViewsetCollection : public KsTypeSafeCollection<Viewset> {
  HC_CLASS_HEADER(ViewsetCollection)
};
HC_OBJECT_COLLECTION_CLASS_OBJECT(ViewsetCollection)
