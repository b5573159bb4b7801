#include "Security/KsSignature.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(KsSignature, KsObject, "KsSignature")

void KsSignature::KsSignatureClass::SetupProperties() {
  using S = KsSignature;
  using namespace KsPropertyType;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<S, PWStringRef>::Create(self, S::kDigestBase64Id, kString, "DigestBase64", true,
                                                          &S::GetDigestBase64, &S::SetDigestBase64));
  AddProperty(HcPropertyDirectGet<S, PWStringRef>::Create(self, S::kKsCounterSignatureBase64Id, kString,
                                                          "KsCounterSignatureBase64", true,
                                                          &S::GetKsCounterSignatureBase64,
                                                          &S::SetKsCounterSignatureBase64));
  AddProperty(HcPropertyDirectGet<S, PWStringRef>::Create(self, S::kKsPublicCertNameId, kString, "KsPublicCertName",
                                                          true, &S::GetKsPublicCertName, &S::SetKsPublicCertName));
  AddProperty(HcPropertyObjectDirectGet<S, KsObject>::Create(self, S::kPresentationId, "Presentation", true,
                                                             &S::GetPresentation, &S::SetPresentation));
  AddProperty(HcPropertyDirectGet<S, PWStringRef>::Create(self, S::kUserDigestSignatureBase64Id, kString,
                                                          "UserDigestSignatureBase64", true,
                                                          &S::GetUserDigestSignatureBase64,
                                                          &S::SetUserDigestSignatureBase64));
  AddProperty(HcPropertyObjectDirectGet<S, KsPublicCert>::Create(self, S::kUserPublicCertId, "UserPublicCert", true,
                                                                 &S::GetUserPublicCert, &S::SetUserPublicCert));
}
