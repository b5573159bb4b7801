#pragma once

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>

#include <cstddef>
#include <cstdint>
#include <memory>

#include "General/KsData.h"
#include "KsAppErr.h"
#include "PWString.h"

// What the digesters, keys, certificates and the certificate store share: the
// error of PEM text that yields no key or certificate, owning handles of the
// crypto library, and the byte buffers they sign and verify.

namespace SecurityErr {
// PEM text (or an item in it) that can't be read.
constexpr eAppErr kUnreadablePEM = -630;
}  // namespace SecurityErr

template <auto FreeFunction>
struct OpenSSLDeleter {
  template <class T>
  void operator()(T* handle) const {
    FreeFunction(handle);
  }
};

using BioPtr = std::unique_ptr<BIO, OpenSSLDeleter<BIO_free_all>>;
using EvpMdPtr = std::unique_ptr<EVP_MD, OpenSSLDeleter<EVP_MD_free>>;
using EvpMdCtxPtr = std::unique_ptr<EVP_MD_CTX, OpenSSLDeleter<EVP_MD_CTX_free>>;
using EvpPkeyPtr = std::unique_ptr<EVP_PKEY, OpenSSLDeleter<EVP_PKEY_free>>;
using X509Ptr = std::unique_ptr<X509, OpenSSLDeleter<X509_free>>;
using X509CrlPtr = std::unique_ptr<X509_CRL, OpenSSLDeleter<X509_CRL_free>>;
using X509StorePtr = std::unique_ptr<X509_STORE, OpenSSLDeleter<X509_STORE_free>>;
using X509StoreCtxPtr = std::unique_ptr<X509_STORE_CTX, OpenSSLDeleter<X509_STORE_CTX_free>>;

// A read-only memory source over the text's UTF-8 bytes (which must outlive
// it); empty for a null text or when the library can't make one.
BioPtr OpenTextBio(const PWStringRef& text);

// The first X.509 certificate in PEM text; empty when there is none. Never
// asks for a pass phrase.
X509Ptr ReadPEMCertificate(const PWStringRef& text);

// Forgets the errors the library queued on this thread, so that a failure
// read from the queue later is not an old one.
void ClearOpenSSLErrors();

// Bytes of a KsData as a span; a KsData with no length set gives no bytes.
struct DataBytes {
  const uint8_t* bytes;
  size_t length;
};
DataBytes BytesOfData(KsData& data);

// A new KsData holding a copy of the bytes; empty when memory runs out.
KsRef<KsData> MakeDataWithBytes(const void* bytes, size_t length);

// Stores in *field a new KsData holding the bytes of Base64 text. The field
// never keeps earlier bytes: text that doesn't decode leaves it empty and
// answers the decoder's error.
eAppErr ReplaceDataWithBase64(KsRef<KsData>* field, const PWStringRef& text, const char* method);
