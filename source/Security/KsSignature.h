#pragma once

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "KsAppErr.h"
#include "PWString.h"
#include "Security/KsPublicCert.h"

// The signature record a signed movie carries: the movie digest, the signed
// presentation, the signing user's certificate and signature of the digest,
// and a counter-signature of the user's signature with the name of the known
// certificate whose key made it. Every field is serialised; the record checks
// nothing itself.
class KsSignature : public KsObject {
  HC_CLASS_HEADER(KsSignature)
 public:
  enum : int32_t {
    kDigestBase64Id = 200,
    kKsCounterSignatureBase64Id = 201,
    kKsPublicCertNameId = 202,
    kPresentationId = 203,
    kUserDigestSignatureBase64Id = 204,
    kUserPublicCertId = 205,
  };

  PWStringRef GetDigestBase64() const { return m_digestBase64; }
  eAppErr SetDigestBase64(const PWStringRef& text);
  PWStringRef GetKsPublicCertName() const { return m_ksPublicCertName; }
  eAppErr SetKsPublicCertName(const PWStringRef& name);
  KsRef<KsPublicCert> GetUserPublicCert() const { return m_userPublicCert; }
  eAppErr SetUserPublicCert(const KsRef<KsPublicCert>& certificate);
  PWStringRef GetUserDigestSignatureBase64() const { return m_userDigestSignatureBase64; }
  eAppErr SetUserDigestSignatureBase64(const PWStringRef& text);
  PWStringRef GetKsCounterSignatureBase64() const { return m_ksCounterSignatureBase64; }
  eAppErr SetKsCounterSignatureBase64(const PWStringRef& text);
  // The presentation read from the movie when the signature was requested.
  KsRef<KsObject> GetPresentation() const { return m_presentation; }
  eAppErr SetPresentation(const KsRef<KsObject>& presentation);

 private:
  PWStringRef m_digestBase64;
  PWStringRef m_ksPublicCertName;
  KsRef<KsPublicCert> m_userPublicCert;
  PWStringRef m_userDigestSignatureBase64;
  PWStringRef m_ksCounterSignatureBase64;
  KsRef<KsObject> m_presentation;
};
HC_CLASS_OBJECT(KsSignature, KsObject)
