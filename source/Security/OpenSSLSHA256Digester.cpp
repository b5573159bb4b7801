#include "Security/OpenSSLSHA256Digester.h"

OpenSSLSHA256Digester::OpenSSLSHA256Digester() { InitDigestType("sha256"); }
