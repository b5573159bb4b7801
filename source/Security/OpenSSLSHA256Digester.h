#pragma once

#include "General/KsClassMacros.h"
#include "Security/OpenSSLDigester.h"

// An OpenSSLDigester that starts with the digest type "sha256", as the movie
// digest uses it.
class OpenSSLSHA256Digester : public OpenSSLDigester {
  HC_CLASS_HEADER(OpenSSLSHA256Digester)
 public:
  OpenSSLSHA256Digester();
};
HC_CLASS_OBJECT(OpenSSLSHA256Digester, OpenSSLDigester)
