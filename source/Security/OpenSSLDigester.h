#pragma once

#include "General/KsClassMacros.h"
#include "KsAppErr.h"
#include "PWString.h"
#include "Security/KsDigester.h"

// Sets up the crypto library once per process; safe to call from any thread
// at any time. Every user of the library in this folder calls it first.
void InitializeOpenSSL();

// A digester over the crypto library's message digests, the algorithm chosen
// by its name there ("DigestType": "sha1" at first; "sha256", "SHA3-512",
// "RSA-SHA256" and the other names the library knows, in any letter case).
class OpenSSLDigester : public KsDigester {
  HC_CLASS_HEADER(OpenSSLDigester)
 public:
  enum : int32_t { kDigestTypeId = 300 };

  OpenSSLDigester();
  ~OpenSSLDigester() override;

  // A new KsData of the digest, computed afresh; empty without data, or when
  // the type names no digest the library has (a name of more than 31
  // characters or outside ASCII names none).
  KsRef<KsData> GetDigest() override;

  PWStringRef GetDigestType() const { return m_digestType; }
  eAppErr SetDigestType(const PWStringRef& digestType);

 protected:
  // For subclasses that start with another algorithm (no change notice).
  void InitDigestType(const PWStringRef& digestType) { m_digestType = digestType; }

 private:
  PWStringRef m_digestType;
};
HC_CLASS_OBJECT(OpenSSLDigester, KsDigester)
