#pragma once

#include "General/KsClassMacros.h"
#include "KsAppErr.h"
#include "PWString.h"
#include "Security/KsPrivateKey.h"

// A private key held as PEM text (traditional or PKCS #8, encrypted or not,
// with "PassPhrase" for an encrypted one) that signs the SHA-1 digest of
// DataToSign (for RSA, PKCS #1 v1.5). The text is read afresh for every
// signature.
class OpenSSLPrivateKey : public KsPrivateKey {
  HC_CLASS_HEADER(OpenSSLPrivateKey)
 public:
  enum : int32_t { kPrivateKeyId = 300, kPassPhraseId = 301 };

  OpenSSLPrivateKey();
  ~OpenSSLPrivateKey() override;

  // -2 for a null out-parameter; -903 without PrivateKey or DataToSign; -630
  // when the text yields no private key (not PEM, not a private key, an
  // encrypted key with a wrong pass phrase or none: nobody is ever asked for
  // one). A key that can't make a SHA-1 signature gives 0 and no text.
  eAppErr GetSignatureBase64(PWStringRef* out) override;

  PWStringRef GetPrivateKey() const { return m_privateKey; }
  eAppErr SetPrivateKey(const PWStringRef& privateKey);
  PWStringRef GetPassPhrase() const { return m_passPhrase; }
  eAppErr SetPassPhrase(const PWStringRef& passPhrase);

 private:
  PWStringRef m_privateKey;
  PWStringRef m_passPhrase;
};
HC_CLASS_OBJECT(OpenSSLPrivateKey, KsPrivateKey)
