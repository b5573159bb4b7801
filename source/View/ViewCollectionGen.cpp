#include "View/ViewCollection.h"

HC_DEFINE_OBJECT_COLLECTION_CLASS(ViewCollection, HcView, "views", "view")
