#include "Security/KsSignatureCollection.h"

HC_DEFINE_OBJECT_COLLECTION_CLASS(KsSignatureCollection, KsSignature, "KsSignatureCollection", "KsSignature")
