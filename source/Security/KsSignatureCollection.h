#pragma once

#include "General/KsTypeSafeCollection.h"
#include "Security/KsSignature.h"

// An object collection of signature records.
class KsSignatureCollection : public KsTypeSafeCollection<KsSignature> {
  HC_CLASS_HEADER(KsSignatureCollection)
};
HC_OBJECT_COLLECTION_CLASS_OBJECT(KsSignatureCollection)
