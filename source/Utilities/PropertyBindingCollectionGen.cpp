#include "Utilities/PropertyBindingCollection.h"

HC_DEFINE_OBJECT_COLLECTION_CLASS(PropertyBindingCollection, HcPropertyBindingBase, "PropertyBindingCollection",
                                  "HcPropertyBinding")
