#include "Security/OpenSSLDigester.h"

#include <openssl/crypto.h>

#include <algorithm>
#include <mutex>
#include <string>

#include "Security/SecuritySupport.h"

namespace {

constexpr size_t kMaxDigestNameLength = 31;

bool IsUsableDigestName(const PWStringRef& name) {
  if (name.IsNull() || name.IsEmpty() || name.ByteLength() > kMaxDigestNameLength) return false;
  const std::string_view text = name.View();
  return std::all_of(text.begin(), text.end(), [](char c) { return c > 0 && c < 0x7F; });
}

// The algorithm of a name, resolving the library's older aliases
// ("RSA-SHA256", "ssl3-md5") to the names its providers answer to.
EvpMdPtr FetchDigest(const PWStringRef& name) {
  if (!IsUsableDigestName(name)) return nullptr;
  EvpMdPtr digest(EVP_MD_fetch(nullptr, name.CStr(), nullptr));
  if (!digest) {
    if (const EVP_MD* alias = EVP_get_digestbyname(name.CStr())) {
      digest.reset(EVP_MD_fetch(nullptr, EVP_MD_get0_name(alias), nullptr));
    }
  }
  if (!digest) ClearOpenSSLErrors();
  return digest;
}

// Feeds the bytes a page at a time, asking for the next page while one is
// digested: the digest code reads ahead poorly across pages, so a buffer too
// large for the caches otherwise waits on memory (a quarter slower for
// hundreds of megabytes).
bool DigestInSlices(EVP_MD_CTX* context, const DataBytes& input) {
  constexpr size_t kSlice = 4096;
  constexpr size_t kCacheLine = 64;
  size_t offset = 0;
  do {
    const size_t length = std::min(kSlice, input.length - offset);
    const size_t nextOffset = offset + length;
    const size_t nextLength = std::min(kSlice, input.length - nextOffset);
    for (size_t ahead = 0; ahead < nextLength; ahead += kCacheLine) {
      __builtin_prefetch(input.bytes + nextOffset + ahead);
    }
    if (EVP_DigestUpdate(context, input.bytes + offset, length) != 1) return false;
    offset = nextOffset;
  } while (offset < input.length);
  return true;
}

}  // namespace

void InitializeOpenSSL() {
  static std::once_flag once;
  std::call_once(once, [] {
    OPENSSL_init_crypto(OPENSSL_INIT_LOAD_CRYPTO_STRINGS | OPENSSL_INIT_ADD_ALL_CIPHERS |
                            OPENSSL_INIT_ADD_ALL_DIGESTS | OPENSSL_INIT_NO_LOAD_CONFIG,
                        nullptr);
  });
}

OpenSSLDigester::OpenSSLDigester() : m_digestType("sha1") {}

OpenSSLDigester::~OpenSSLDigester() = default;

eAppErr OpenSSLDigester::SetDigestType(const PWStringRef& digestType) {
  DidChangeCaller change(this, kDigestTypeId);
  m_digestType = digestType;
  return AppErr::kNoErr;
}

KsRef<KsData> OpenSSLDigester::GetDigest() {
  KsRef<KsData> data = GetData();
  if (!data) return {};
  InitializeOpenSSL();
  EvpMdPtr algorithm = FetchDigest(m_digestType);
  if (!algorithm) return {};
  const DataBytes input = BytesOfData(*data);
  EvpMdCtxPtr context(EVP_MD_CTX_new());
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int digestLength = 0;
  if (!context || EVP_DigestInit_ex(context.get(), algorithm.get(), nullptr) != 1 ||
      !DigestInSlices(context.get(), input) ||
      EVP_DigestFinal_ex(context.get(), digest, &digestLength) != 1) {
    ClearOpenSSLErrors();
    return {};
  }
  return MakeDataWithBytes(digest, digestLength);
}
