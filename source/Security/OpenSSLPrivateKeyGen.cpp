#include "Security/OpenSSLPrivateKey.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(OpenSSLPrivateKey, KsPrivateKey, "OpenSSLPrivateKey")

void OpenSSLPrivateKey::OpenSSLPrivateKeyClass::SetupProperties() {
  using K = OpenSSLPrivateKey;
  using namespace KsPropertyType;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<K, PWStringRef>::Create(self, K::kPrivateKeyId, kString, "PrivateKey", true,
                                                          &K::GetPrivateKey, &K::SetPrivateKey));
  AddProperty(HcPropertyDirectGet<K, PWStringRef>::Create(self, K::kPassPhraseId, kString, "PassPhrase", true,
                                                          &K::GetPassPhrase, &K::SetPassPhrase));
}
