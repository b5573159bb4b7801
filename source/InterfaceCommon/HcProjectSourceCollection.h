#pragma once

#include "General/KsTypeSafeCollection.h"
#include "InterfaceCommon/HcProjectSource.h"

// Project source descriptions (a viewset's images).
class HcProjectSourceCollection : public KsTypeSafeCollection<HcProjectSource> {
  HC_CLASS_HEADER(HcProjectSourceCollection)
};
HC_OBJECT_COLLECTION_CLASS_OBJECT(HcProjectSourceCollection)
