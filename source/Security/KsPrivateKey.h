#pragma once

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsData.h"
#include "General/KsObject.h"
#include "KsAppErr.h"
#include "PWString.h"

// A private key that signs a byte buffer ("DataToSign", none at first) and
// hands out the signature as Base64 text.
class KsPrivateKey : public KsObject {
  HC_CLASS_HEADER(KsPrivateKey)
 public:
  enum : int32_t { kDataToSignId = 200, kDataToSignBase64Id = 201, kSignatureBase64Id = 202 };

  KsPrivateKey();
  ~KsPrivateKey() override;

  // The signature of DataToSign: 0 with the text, or 0 with a null text when
  // the key could not sign; an error when something to sign with is missing.
  virtual eAppErr GetSignatureBase64(PWStringRef* out) = 0;

  KsRef<KsData> GetDataToSign() const { return m_dataToSign; }
  eAppErr SetDataToSign(const KsRef<KsData>& data);

  // Null when there is no DataToSign.
  PWStringRef GetDataToSignBase64() const;
  // Replaces DataToSign with a new buffer of the text's bytes, so that a key
  // reused for other data never signs the earlier bytes; text that isn't
  // Base64 leaves no DataToSign and answers -900.
  eAppErr SetDataToSignBase64(const PWStringRef& text);

 private:
  KsRef<KsData> m_dataToSign;
};
HC_CLASS_OBJECT(KsPrivateKey, KsObject)
