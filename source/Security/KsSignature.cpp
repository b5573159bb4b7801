#include "Security/KsSignature.h"

eAppErr KsSignature::SetDigestBase64(const PWStringRef& text) {
  DidChangeCaller change(this, kDigestBase64Id);
  m_digestBase64 = text;
  return AppErr::kNoErr;
}

eAppErr KsSignature::SetKsPublicCertName(const PWStringRef& name) {
  DidChangeCaller change(this, kKsPublicCertNameId);
  m_ksPublicCertName = name;
  return AppErr::kNoErr;
}

eAppErr KsSignature::SetUserPublicCert(const KsRef<KsPublicCert>& certificate) {
  DidChangeCaller change(this, kUserPublicCertId);
  m_userPublicCert = certificate;
  return AppErr::kNoErr;
}

eAppErr KsSignature::SetUserDigestSignatureBase64(const PWStringRef& text) {
  DidChangeCaller change(this, kUserDigestSignatureBase64Id);
  m_userDigestSignatureBase64 = text;
  return AppErr::kNoErr;
}

eAppErr KsSignature::SetKsCounterSignatureBase64(const PWStringRef& text) {
  DidChangeCaller change(this, kKsCounterSignatureBase64Id);
  m_ksCounterSignatureBase64 = text;
  return AppErr::kNoErr;
}

eAppErr KsSignature::SetPresentation(const KsRef<KsObject>& presentation) {
  DidChangeCaller change(this, kPresentationId);
  m_presentation = presentation;
  return AppErr::kNoErr;
}
