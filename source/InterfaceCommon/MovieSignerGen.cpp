#include "InterfaceCommon/MovieSigner.h"
#include "Utilities/HcPropertyAppErr.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(MovieSigner, MovieModifier, "MovieSigner")

void MovieSigner::MovieSignerClass::SetupProperties() {
  using S = MovieSigner;
  using namespace KsPropertyType;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<S, bool>::Create(self, S::kInitMovieFromSignatureId, kBool, "InitMovieFromSignature",
                                                   false, &S::GetFalse, &S::SetInitMovieFromSignature));
  AddProperty(HcPropertyDirectGet<S, bool>::Create(self, S::kInitRequestFromMovieId, kBool, "InitRequestFromMovie",
                                                   false, &S::GetFalse, &S::SetInitRequestFromMovie));
  AddProperty(HcPropertyDirectGet<S, bool>::Create(self, S::kInitSignatureFromMovieId, kBool, "InitSignatureFromMovie",
                                                   false, &S::GetFalse, &S::SetInitSignatureFromMovie));
  AddProperty(HcPropertyAppErr<S, bool>::Create(self, S::kIsSignatureValidForMovieId, kBool, "IsSignatureValidForMovie",
                                                false, &S::GetIsSignatureValidForMovie, nullptr));
  AddProperty(HcPropertyObjectDirectGet<S, KsPublicCertCollection>::Create(
      self, S::kKnownPublicCertificatesId, "KnownPublicCertificates", true, &S::GetKnownPublicCertificates,
      &S::SetKnownPublicCertificates));
  AddProperty(HcPropertyAppErr<S, PWStringRef>::Create(self, S::kMovieDigestBase64Id, kString, "MovieDigestBase64",
                                                       false, &S::GetMovieDigestBase64, nullptr));
  AddProperty(HcPropertyObjectDirectGet<S, KsSignature>::Create(self, S::kSignatureId, "Signature", true,
                                                                &S::GetSignature, &S::SetSignature));
  // The key stays with the user: never written out.
  AddProperty(HcPropertyObjectDirectGet<S, KsPrivateKey>::Create(self, S::kUserPrivateKeyId, "UserPrivateKey", false,
                                                                 &S::GetUserPrivateKey, &S::SetUserPrivateKey));
  AddProperty(HcPropertyObjectDirectGet<S, KsPublicCert>::Create(self, S::kUserPublicCertId, "UserPublicCert", true,
                                                                 &S::GetUserPublicCert, &S::SetUserPublicCert));
}
