#include "Security/PEMOpenSSLPublicCert.h"

#include "KsTrace.h"
#include "Security/OpenSSLDigester.h"
#include "Security/SecuritySupport.h"

namespace {

bool VerifySHA1(EVP_PKEY* key, const DataBytes& signedData, const DataBytes& signature) {
  if (signature.length == 0) return false;
  EvpMdCtxPtr context(EVP_MD_CTX_new());
  const bool verified =
      context && EVP_DigestVerifyInit_ex(context.get(), nullptr, "SHA1", nullptr, nullptr, key, nullptr) == 1 &&
      EVP_DigestVerifyUpdate(context.get(), signedData.bytes, signedData.length) == 1 &&
      EVP_DigestVerifyFinal(context.get(), signature.bytes, signature.length) == 1;
  ClearOpenSSLErrors();
  return verified;
}

}  // namespace

PEMOpenSSLPublicCert::PEMOpenSSLPublicCert() = default;

PEMOpenSSLPublicCert::~PEMOpenSSLPublicCert() = default;

eAppErr PEMOpenSSLPublicCert::SetPEMCertX509(const PWStringRef& pemText) {
  DidChangeCaller change(this, kPEMCertX509Id);
  m_pemCertX509 = pemText;
  return AppErr::kNoErr;
}

eAppErr PEMOpenSSLPublicCert::GetIsValid(bool* out) {
  if (!out) return KS_TRACE_ERR(AppErr::kBadArgument, "GetIsValid");
  *out = false;
  KsRef<KsData> signature = GetSignature();
  KsRef<KsData> signedData = GetSignedData();
  if (!signature || !signedData || m_pemCertX509.IsNull()) return KS_TRACE_ERR(AppErr::kNotReady, "GetIsValid");
  InitializeOpenSSL();
  X509Ptr certificate = ReadPEMCertificate(m_pemCertX509);
  EVP_PKEY* publicKey = certificate ? X509_get0_pubkey(certificate.get()) : nullptr;
  if (!publicKey) {
    ClearOpenSSLErrors();
    return KS_TRACE_ERR(SecurityErr::kUnreadablePEM, "GetIsValid");
  }
  *out = VerifySHA1(publicKey, BytesOfData(*signedData), BytesOfData(*signature));
  return AppErr::kNoErr;
}
