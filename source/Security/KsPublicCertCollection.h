#pragma once

#include "General/KsTypeSafeCollection.h"
#include "Security/KsPublicCert.h"

// An object collection of public certificates, looked up by name (the known
// certificates a signature may name).
class KsPublicCertCollection : public KsTypeSafeCollection<KsPublicCert> {
  HC_CLASS_HEADER(KsPublicCertCollection)
};
HC_OBJECT_COLLECTION_CLASS_OBJECT(KsPublicCertCollection)
