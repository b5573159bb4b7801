#include "Security/KsPublicCert.h"

#include "Security/SecuritySupport.h"

KsPublicCert::KsPublicCert() = default;

KsPublicCert::~KsPublicCert() = default;

eAppErr KsPublicCert::SetSignature(const KsRef<KsData>& signature) {
  DidChangeCaller change(this, kSignatureId);
  m_signature = signature;
  return AppErr::kNoErr;
}

eAppErr KsPublicCert::SetSignedData(const KsRef<KsData>& signedData) {
  DidChangeCaller change(this, kSignedDataId);
  m_signedData = signedData;
  return AppErr::kNoErr;
}

PWStringRef KsPublicCert::GetSignatureBase64() const {
  if (!m_signature) return nullptr;
  return m_signature->CopyBase64();
}

PWStringRef KsPublicCert::GetSignedDataBase64() const {
  if (!m_signedData) return nullptr;
  return m_signedData->CopyBase64();
}

eAppErr KsPublicCert::SetSignatureBase64(const PWStringRef& text) {
  return ReplaceDataWithBase64(&m_signature, text, "SetSignatureBase64");
}

eAppErr KsPublicCert::SetSignedDataBase64(const PWStringRef& text) {
  return ReplaceDataWithBase64(&m_signedData, text, "SetSignedDataBase64");
}
