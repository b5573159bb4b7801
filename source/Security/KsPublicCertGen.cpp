#include "Security/KsPublicCert.h"
#include "Utilities/HcPropertyAppErr.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_ABSTRACT_CLASS(KsPublicCert, KsObject, "KsPublicCert")

void KsPublicCert::KsPublicCertClass::SetupProperties() {
  using C = KsPublicCert;
  using namespace KsPropertyType;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyAppErr<C, bool>::Create(self, C::kIsValidId, kBool, "IsValid", false, &C::GetIsValid, nullptr));
  AddProperty(HcPropertyDirectGet<C, PWStringRef>::Create(self, C::kSignatureBase64Id, kString, "SignatureBase64",
                                                          false, &C::GetSignatureBase64, &C::SetSignatureBase64));
  AddProperty(HcPropertyObjectDirectGet<C, KsData>::Create(self, C::kSignatureId, "Signature", false,
                                                           &C::GetSignature, &C::SetSignature));
  AddProperty(HcPropertyDirectGet<C, PWStringRef>::Create(self, C::kSignedDataBase64Id, kString, "SignedDataBase64",
                                                          false, &C::GetSignedDataBase64, &C::SetSignedDataBase64));
  AddProperty(HcPropertyObjectDirectGet<C, KsData>::Create(self, C::kSignedDataId, "SignedData", false,
                                                           &C::GetSignedData, &C::SetSignedData));
}
