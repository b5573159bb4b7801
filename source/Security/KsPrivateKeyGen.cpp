#include "Security/KsPrivateKey.h"
#include "Utilities/HcPropertyAppErr.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_ABSTRACT_CLASS(KsPrivateKey, KsObject, "KsPrivateKey")

void KsPrivateKey::KsPrivateKeyClass::SetupProperties() {
  using K = KsPrivateKey;
  using namespace KsPropertyType;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<K, KsData>::Create(self, K::kDataToSignId, "DataToSign", false,
                                                           &K::GetDataToSign, &K::SetDataToSign));
  AddProperty(HcPropertyDirectGet<K, PWStringRef>::Create(self, K::kDataToSignBase64Id, kString, "DataToSignBase64",
                                                          false, &K::GetDataToSignBase64, &K::SetDataToSignBase64));
  AddProperty(HcPropertyAppErr<K, PWStringRef>::Create(self, K::kSignatureBase64Id, kString, "SignatureBase64", false,
                                                       &K::GetSignatureBase64, nullptr));
}
