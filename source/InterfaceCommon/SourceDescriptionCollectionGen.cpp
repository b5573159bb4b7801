#include "InterfaceCommon/SourceDescriptionCollection.h"

HC_DEFINE_OBJECT_COLLECTION_CLASS(SourceDescriptionCollection, SourceDescription, "SourceDescriptionCollection",
                                  "SourceDescription")
