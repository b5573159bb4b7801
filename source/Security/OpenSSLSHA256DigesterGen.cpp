#include "Security/OpenSSLSHA256Digester.h"

HC_DEFINE_CLASS(OpenSSLSHA256Digester, OpenSSLDigester, "OpenSSLSHA256Digester")

void OpenSSLSHA256Digester::OpenSSLSHA256DigesterClass::SetupProperties() {}
