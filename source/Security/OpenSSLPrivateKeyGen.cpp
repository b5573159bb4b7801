#include "Security/OpenSSLPrivateKey.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(OpenSSLPrivateKey, KsPrivateKey, "OpenSSLPrivateKey")

void OpenSSLPrivateKey::OpenSSLPrivateKeyClass::SetupProperties() {
  using K = OpenSSLPrivateKey;
  using namespace KsPropertyType;
  KsRef<KsClassObject> self = ThisRef();
  // The key and its pass phrase are secrets: no document written from a
  // graph holding a key ever carries them.
  AddProperty(HcPropertyDirectGet<K, PWStringRef>::Create(self, K::kPrivateKeyId, kString, "PrivateKey", false,
                                                          &K::GetPrivateKey, &K::SetPrivateKey));
  AddProperty(HcPropertyDirectGet<K, PWStringRef>::Create(self, K::kPassPhraseId, kString, "PassPhrase", false,
                                                          &K::GetPassPhrase, &K::SetPassPhrase));
}
