#pragma once

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsData.h"
#include "General/KsObject.h"
#include "KsAppErr.h"
#include "PWString.h"

// A public certificate that verifies a signature ("Signature") over a byte
// buffer ("SignedData"), both none at first and both also readable and
// writable as Base64 text. A certificate is known by its object name.
class KsPublicCert : public KsObject {
  HC_CLASS_HEADER(KsPublicCert)
 public:
  enum : int32_t {
    kIsValidId = 200,
    kSignatureBase64Id = 201,
    kSignatureId = 202,
    kSignedDataBase64Id = 203,
    kSignedDataId = 204,
  };

  KsPublicCert();
  ~KsPublicCert() override;

  // *out is true when Signature verifies over SignedData; a signature that
  // doesn't verify is no error (0 and false).
  virtual eAppErr GetIsValid(bool* out) = 0;

  KsRef<KsData> GetSignature() const { return m_signature; }
  eAppErr SetSignature(const KsRef<KsData>& signature);
  KsRef<KsData> GetSignedData() const { return m_signedData; }
  eAppErr SetSignedData(const KsRef<KsData>& signedData);

  // Null when the buffer is missing.
  PWStringRef GetSignatureBase64() const;
  PWStringRef GetSignedDataBase64() const;
  // Replace the buffer with a new one of the text's bytes, so that a
  // certificate reused for other bytes never verifies the earlier ones; text
  // that isn't Base64 leaves no buffer and answers -900.
  eAppErr SetSignatureBase64(const PWStringRef& text);
  eAppErr SetSignedDataBase64(const PWStringRef& text);

 private:
  KsRef<KsData> m_signedData;
  KsRef<KsData> m_signature;
};
HC_CLASS_OBJECT(KsPublicCert, KsObject)
