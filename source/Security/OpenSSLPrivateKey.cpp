#include "Security/OpenSSLPrivateKey.h"

#include <openssl/pem.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "KsTrace.h"
#include "Security/Base64.h"
#include "Security/OpenSSLDigester.h"
#include "Security/SecuritySupport.h"

namespace {

// Hands the library the pass phrase given as user data, or refuses when
// there is none, so that it never turns to the terminal.
int SupplyPassPhrase(char* buffer, int size, int /*writing*/, void* passPhrase) {
  if (!passPhrase || size <= 0) return -1;
  const size_t length = std::strlen(static_cast<const char*>(passPhrase));
  if (length > static_cast<size_t>(size)) return -1;
  std::memcpy(buffer, passPhrase, length);
  return static_cast<int>(length);
}

EvpPkeyPtr ReadPrivateKey(const PWStringRef& pemText, const PWStringRef& passPhrase) {
  BioPtr source = OpenTextBio(pemText);
  if (!source) return nullptr;
  PWCStringPtr phrase(passPhrase);
  EvpPkeyPtr key(PEM_read_bio_PrivateKey(source.get(), nullptr, &SupplyPassPhrase,
                                         const_cast<char*>(phrase.CStr())));
  if (!key) ClearOpenSSLErrors();
  return key;
}

// The SHA-1 signature of the bytes; empty when the key can't make one.
std::vector<unsigned char> SignSHA1(EVP_PKEY* key, const DataBytes& input) {
  std::vector<unsigned char> signature(static_cast<size_t>(std::max(EVP_PKEY_get_size(key), 0)));
  size_t length = signature.size();
  EvpMdCtxPtr context(EVP_MD_CTX_new());
  if (signature.empty() || !context ||
      EVP_DigestSignInit_ex(context.get(), nullptr, "SHA1", nullptr, nullptr, key, nullptr) != 1 ||
      EVP_DigestSignUpdate(context.get(), input.bytes, input.length) != 1 ||
      EVP_DigestSignFinal(context.get(), signature.data(), &length) != 1) {
    ClearOpenSSLErrors();
    return {};
  }
  signature.resize(length);
  return signature;
}

}  // namespace

OpenSSLPrivateKey::OpenSSLPrivateKey() = default;

OpenSSLPrivateKey::~OpenSSLPrivateKey() = default;

eAppErr OpenSSLPrivateKey::SetPrivateKey(const PWStringRef& privateKey) {
  DidChangeCaller change(this, kPrivateKeyId);
  m_privateKey = privateKey;
  return AppErr::kNoErr;
}

eAppErr OpenSSLPrivateKey::SetPassPhrase(const PWStringRef& passPhrase) {
  DidChangeCaller change(this, kPassPhraseId);
  m_passPhrase = passPhrase;
  return AppErr::kNoErr;
}

eAppErr OpenSSLPrivateKey::GetSignatureBase64(PWStringRef* out) {
  if (!out) return KS_TRACE_ERR(AppErr::kBadArgument, "GetSignatureBase64");
  *out = nullptr;
  if (m_privateKey.IsNull()) return KS_TRACE_ERR(AppErr::kNotReady, "GetSignatureBase64");
  KsRef<KsData> dataToSign = GetDataToSign();
  if (!dataToSign) return KS_TRACE_ERR(AppErr::kNotReady, "GetSignatureBase64");
  InitializeOpenSSL();
  EvpPkeyPtr key = ReadPrivateKey(m_privateKey, m_passPhrase);
  if (!key) return KS_TRACE_ERR(SecurityErr::kUnreadablePEM, "GetSignatureBase64");
  const std::vector<unsigned char> signature = SignSHA1(key.get(), BytesOfData(*dataToSign));
  if (!signature.empty()) *out = Base64EncodeBytes(signature.data(), signature.size());
  return AppErr::kNoErr;
}
