#pragma once

#include "General/KsClassMacros.h"
#include "KsAppErr.h"
#include "PWString.h"
#include "Security/KsPublicCert.h"

// A public certificate held as X.509 PEM text ("PEMCertX509") that verifies
// SHA-1 signatures (the counterpart of OpenSSLPrivateKey) with its public
// key. Only the signature is checked, not the certificate's dates, issuer or
// chain (X509CertificateStore does that). The text is read afresh for every
// verification.
class PEMOpenSSLPublicCert : public KsPublicCert {
  HC_CLASS_HEADER(PEMOpenSSLPublicCert)
 public:
  enum : int32_t { kPEMCertX509Id = 300 };

  PEMOpenSSLPublicCert();
  ~PEMOpenSSLPublicCert() override;

  // -2 for a null out-parameter; -903 without Signature, SignedData or
  // PEMCertX509; -630 when the text yields no certificate or public key.
  eAppErr GetIsValid(bool* out) override;

  PWStringRef GetPEMCertX509() const { return m_pemCertX509; }
  eAppErr SetPEMCertX509(const PWStringRef& pemText);

 private:
  PWStringRef m_pemCertX509;
};
HC_CLASS_OBJECT(PEMOpenSSLPublicCert, KsPublicCert)
