#pragma once

#include <cstdint>
#include <memory>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "KsAppErr.h"
#include "PWString.h"
#include "Security/PEMOpenSSLPublicCert.h"

struct X509VerifySettings;

// Decides whether a certificate is trusted: it must chain to an authority of
// the CA file ("CAFile") or of the hashed CA folder ("CADirectory"), and,
// with a revocation-list file ("CRLFile"), neither it nor any authority above
// it may be revoked. The system's default CA locations are never consulted.
class X509CertificateStore : public KsObject {
  HC_CLASS_HEADER(X509CertificateStore)
 public:
  enum : int32_t { kCAFileId = 200, kCADirectoryId = 201, kCRLFileId = 202 };

  X509CertificateStore();
  ~X509CertificateStore() override;

  PWStringRef GetCAFile() const { return m_caFile; }
  eAppErr SetCAFile(const PWStringRef& path);
  PWStringRef GetCADirectory() const { return m_caDirectory; }
  eAppErr SetCADirectory(const PWStringRef& path);
  PWStringRef GetCRLFile() const { return m_crlFile; }
  eAppErr SetCRLFile(const PWStringRef& path);

  // True only when the library's verification answers success. Everything
  // else is false: no readable certificate, an unreadable CA or CRL file, a
  // missing CA folder, no chain to a trusted authority, a revoked or expired
  // certificate in the chain, a chain without revocation lists while a CRL
  // file is set. The library's reason is traced.
  bool VerifyClientCert(const KsRef<PEMOpenSSLPublicCert>& certificate);

 private:
  PWStringRef m_caFile;
  PWStringRef m_caDirectory;
  PWStringRef m_crlFile;
  std::unique_ptr<X509VerifySettings> m_settings;
};
HC_CLASS_OBJECT(X509CertificateStore, KsObject)
