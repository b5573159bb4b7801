#include "Security/X509CertificateStore.h"
#include "General/CocoaMethod.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(X509CertificateStore, KsObject, "X509CertificateStore")

void X509CertificateStore::X509CertificateStoreClass::SetupProperties() {
  using S = X509CertificateStore;
  using namespace KsPropertyType;
  KsRef<KsClassObject> self = ThisRef();
  // The method takes the certificate, so its selector carries the colon.
  AddObjCInstanceMethods({CocoaMethod<&S::VerifyClientCert>("verifyClientCert:", "B@:@")});
  AddProperty(HcPropertyDirectGet<S, PWStringRef>::Create(self, S::kCAFileId, kString, "CAFile", true, &S::GetCAFile,
                                                          &S::SetCAFile));
  AddProperty(HcPropertyDirectGet<S, PWStringRef>::Create(self, S::kCADirectoryId, kString, "CADirectory", true,
                                                          &S::GetCADirectory, &S::SetCADirectory));
  AddProperty(HcPropertyDirectGet<S, PWStringRef>::Create(self, S::kCRLFileId, kString, "CRLFile", true,
                                                          &S::GetCRLFile, &S::SetCRLFile));
}
