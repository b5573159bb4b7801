#include "Security/KsPublicCertCollection.h"

HC_DEFINE_OBJECT_COLLECTION_CLASS(KsPublicCertCollection, KsPublicCert, "KsPublicCertCollection", "KsPublicCert")
