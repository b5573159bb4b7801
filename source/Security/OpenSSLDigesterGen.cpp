#include "Security/OpenSSLDigester.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(OpenSSLDigester, KsDigester, "OpenSSLDigester")

void OpenSSLDigester::OpenSSLDigesterClass::SetupProperties() {
  using D = OpenSSLDigester;
  AddProperty(HcPropertyDirectGet<D, PWStringRef>::Create(ThisRef(), D::kDigestTypeId, KsPropertyType::kString,
                                                          "DigestType", true, &D::GetDigestType,
                                                          &D::SetDigestType));
}
