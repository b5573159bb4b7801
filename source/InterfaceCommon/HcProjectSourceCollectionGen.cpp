#include "InterfaceCommon/HcProjectSourceCollection.h"

HC_DEFINE_OBJECT_COLLECTION_CLASS(HcProjectSourceCollection, HcProjectSource, "HcProjectSourceCollection",
                                  "HcProjectSource")
