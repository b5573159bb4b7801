#pragma once

#include <cstdint>

#include "General/KsClassMacros.h"
#include "InterfaceCommon/MovieModifier.h"
#include "KsAppErr.h"
#include "PWString.h"
#include "Security/KsPrivateKey.h"
#include "Security/KsPublicCert.h"
#include "Security/KsPublicCertCollection.h"
#include "Security/KsSignature.h"
#include "Security/X509CertificateStore.h"

// Makes and checks the signature of a packaged movie. Four actions, reached
// as properties so that they run from HcML and through the bridge:
//   InitRequestFromMovie   fills Signature with the movie digest, the
//                          presentation, the user's certificate and the
//                          user's SHA-1 signature of the digest;
//   InitMovieFromSignature stores Signature as the movie's one 'Hcsg' item
//                          and saves the movie;
//   InitSignatureFromMovie reads the 'Hcsg' item back into Signature;
//   IsSignatureValidForMovie checks Signature against the movie's digest
//                          and the known certificates.
// An action that finds no movie opens one from Path or URL (for writing when
// storing; reading and validating open only the file of a local movie, so
// that a movie whose media can't be decoded here can still be checked) and,
// but for the request, closes it again before returning; a movie handed in
// is never closed here.
//
// The user's private key is never written out: UserPrivateKey is not
// serialised, and neither are the key's text and pass phrase.
class MovieSigner : public MovieModifier {
  HC_CLASS_HEADER(MovieSigner)
 public:
  enum : int32_t {
    kInitMovieFromSignatureId = 400,
    kInitRequestFromMovieId = 401,
    kInitSignatureFromMovieId = 402,
    kIsSignatureValidForMovieId = 403,
    kKnownPublicCertificatesId = 404,
    kMovieDigestBase64Id = 405,
    kSignatureId = 406,
    kUserPrivateKeyId = 407,
    kUserPublicCertId = 408,
  };

  MovieSigner();
  ~MovieSigner() override;

  // Action properties read false.
  bool GetFalse() const { return false; }
  eAppErr SetInitMovieFromSignature(bool store);
  eAppErr SetInitRequestFromMovie(bool request);
  eAppErr SetInitSignatureFromMovie(bool read);
  eAppErr GetIsSignatureValidForMovie(bool* valid);
  // The movie digest (see MovieDigest.h) of the movie held; -903 without one
  // (the digest opens no movie).
  eAppErr GetMovieDigestBase64(PWStringRef* digest);

  KsRef<KsPublicCertCollection> GetKnownPublicCertificates() const { return m_knownPublicCertificates; }
  eAppErr SetKnownPublicCertificates(const KsRef<KsPublicCertCollection>& certificates);
  KsRef<KsSignature> GetSignature() const { return m_signature; }
  eAppErr SetSignature(const KsRef<KsSignature>& signature);
  KsRef<KsPrivateKey> GetUserPrivateKey() const { return m_userPrivateKey; }
  eAppErr SetUserPrivateKey(const KsRef<KsPrivateKey>& key);
  KsRef<KsPublicCert> GetUserPublicCert() const { return m_userPublicCert; }
  eAppErr SetUserPublicCert(const KsRef<KsPublicCert>& certificate);

  // When set, a signature is valid only if the user's certificate it carries
  // is also trusted by the store (chains to its authorities, not revoked).
  KsRef<X509CertificateStore> GetCertificateStore() const { return m_certificateStore; }
  void SetCertificateStore(const KsRef<X509CertificateStore>& store) { m_certificateStore = store; }

 private:
  enum class Opening { kForWrite, kForPlaying, kFileOnly };
  // Opens the movie when none is held; *opened tells whether it did.
  eAppErr OpenIfNeeded(Opening opening, bool* opened, const char* method);
  eAppErr StoreSignature();
  eAppErr ReadSignature();
  eAppErr MakeRequest();
  eAppErr ReadPresentationInto(const KsRef<KsSignature>& signature);
  eAppErr Validate(bool* valid);
  bool UserCertificateIsTrusted();

  KsRef<KsPublicCertCollection> m_knownPublicCertificates;
  KsRef<KsSignature> m_signature;
  KsRef<KsPrivateKey> m_userPrivateKey;
  KsRef<KsPublicCert> m_userPublicCert;
  KsRef<X509CertificateStore> m_certificateStore;
};
HC_CLASS_OBJECT(MovieSigner, MovieModifier)
