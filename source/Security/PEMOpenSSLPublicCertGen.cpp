#include "Security/PEMOpenSSLPublicCert.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(PEMOpenSSLPublicCert, KsPublicCert, "PEMOpenSSLPublicCert")

void PEMOpenSSLPublicCert::PEMOpenSSLPublicCertClass::SetupProperties() {
  using C = PEMOpenSSLPublicCert;
  AddProperty(HcPropertyDirectGet<C, PWStringRef>::Create(ThisRef(), C::kPEMCertX509Id, KsPropertyType::kString,
                                                          "PEMCertX509", true, &C::GetPEMCertX509,
                                                          &C::SetPEMCertX509));
}
