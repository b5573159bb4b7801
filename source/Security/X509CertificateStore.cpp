#include "Security/X509CertificateStore.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "KsTrace.h"
#include "Security/OpenSSLDigester.h"
#include "Security/SecuritySupport.h"

namespace {

using VerifyCallback = int (*)(int verdict, X509_STORE_CTX* context);

// Passes the library's verdict on, tracing the reason of a failure.
int TraceVerifyFailure(int verdict, X509_STORE_CTX* context) {
  if (verdict != 1) {
    KS_TRACE(KsTrace::kError, "%s", X509_verify_cert_error_string(X509_STORE_CTX_get_error(context)));
  }
  return verdict;
}

std::optional<std::string> PathOf(const PWStringRef& path) {
  if (path.IsNull()) return std::nullopt;
  return std::string(path.View());
}

}  // namespace

// What a store is made from for each verification.
struct X509VerifySettings {
  std::optional<std::string> caFile;
  std::optional<std::string> caDirectory;
  std::optional<std::string> crlFile;
  VerifyCallback callback = nullptr;  // TraceVerifyFailure when none
  std::vector<X509Ptr> extraCertificates;
  std::vector<X509CrlPtr> extraRevocationLists;
  bool skipDefaultCAFile = true;
  bool skipDefaultCADirectory = true;
};

namespace {

using Settings = X509VerifySettings;

bool AddFileLookup(X509_STORE* store, const Settings& settings) {
  X509_LOOKUP* lookup = X509_STORE_add_lookup(store, X509_LOOKUP_file());
  if (!lookup) return false;
  if (settings.caFile) {
    if (X509_LOOKUP_load_file(lookup, settings.caFile->c_str(), X509_FILETYPE_PEM) != 1) {
      KS_TRACE(KsTrace::kError, "Cannot read CA file %s", *settings.caFile);
      return false;
    }
  } else if (!settings.skipDefaultCAFile) {
    X509_LOOKUP_load_file(lookup, nullptr, X509_FILETYPE_DEFAULT);
  }
  if (settings.crlFile) {
    if (X509_load_crl_file(lookup, settings.crlFile->c_str(), X509_FILETYPE_PEM) <= 0) {
      KS_TRACE(KsTrace::kError, "Cannot read CRL file %s", *settings.crlFile);
      return false;
    }
    // Every certificate of the chain, not only the one verified.
    X509_STORE_set_flags(store, X509_V_FLAG_CRL_CHECK | X509_V_FLAG_CRL_CHECK_ALL);
  }
  return true;
}

bool AddDirectoryLookup(X509_STORE* store, const Settings& settings) {
  X509_LOOKUP* lookup = X509_STORE_add_lookup(store, X509_LOOKUP_hash_dir());
  if (!lookup) return false;
  if (settings.caDirectory) {
    std::error_code ignored;
    if (!std::filesystem::is_directory(*settings.caDirectory, ignored) ||
        X509_LOOKUP_add_dir(lookup, settings.caDirectory->c_str(), X509_FILETYPE_PEM) != 1) {
      KS_TRACE(KsTrace::kError, "Cannot use CA directory %s", *settings.caDirectory);
      return false;
    }
  } else if (!settings.skipDefaultCADirectory) {
    X509_LOOKUP_add_dir(lookup, nullptr, X509_FILETYPE_DEFAULT);
  }
  return true;
}

bool AddExtras(X509_STORE* store, const Settings& settings) {
  for (const X509Ptr& certificate : settings.extraCertificates) {
    if (X509_STORE_add_cert(store, certificate.get()) != 1) return false;
  }
  for (const X509CrlPtr& list : settings.extraRevocationLists) {
    if (X509_STORE_add_crl(store, list.get()) != 1) return false;
  }
  return true;
}

X509StorePtr MakeStore(const Settings& settings) {
  X509StorePtr store(X509_STORE_new());
  if (!store) return nullptr;
  X509_STORE_set_verify_cb(store.get(), settings.callback ? settings.callback : &TraceVerifyFailure);
  if (!AddFileLookup(store.get(), settings) || !AddDirectoryLookup(store.get(), settings) ||
      !AddExtras(store.get(), settings)) {
    return nullptr;
  }
  return store;
}

}  // namespace

X509CertificateStore::X509CertificateStore() : m_settings(std::make_unique<X509VerifySettings>()) {}

X509CertificateStore::~X509CertificateStore() = default;

eAppErr X509CertificateStore::SetCAFile(const PWStringRef& path) {
  DidChangeCaller change(this, kCAFileId);
  m_caFile = path;
  m_settings->caFile = PathOf(path);
  return AppErr::kNoErr;
}

eAppErr X509CertificateStore::SetCADirectory(const PWStringRef& path) {
  DidChangeCaller change(this, kCADirectoryId);
  m_caDirectory = path;
  m_settings->caDirectory = PathOf(path);
  return AppErr::kNoErr;
}

eAppErr X509CertificateStore::SetCRLFile(const PWStringRef& path) {
  DidChangeCaller change(this, kCRLFileId);
  m_crlFile = path;
  m_settings->crlFile = PathOf(path);
  return AppErr::kNoErr;
}

bool X509CertificateStore::VerifyClientCert(const KsRef<PEMOpenSSLPublicCert>& certificate) {
  InitializeOpenSSL();
  X509Ptr subject = certificate ? ReadPEMCertificate(certificate->GetPEMCertX509()) : nullptr;
  if (!subject) {
    KS_TRACE(KsTrace::kWarning, "No certificate to verify");
    return false;
  }
  X509StorePtr store = MakeStore(*m_settings);
  X509StoreCtxPtr context(X509_STORE_CTX_new());
  const bool verified = store && context &&
                        X509_STORE_CTX_init(context.get(), store.get(), subject.get(), nullptr) == 1 &&
                        X509_verify_cert(context.get()) == 1;
  ClearOpenSSLErrors();
  return verified;
}
