#include "Utilities/HcPropertyDescCollection.h"

HC_DEFINE_OBJECT_COLLECTION_CLASS(HcPropertyDescCollection, HcPropertyDesc, "HcPropertyDescCollection",
                                  "HcPropertyDesc")
