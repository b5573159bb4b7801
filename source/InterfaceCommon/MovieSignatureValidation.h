#pragma once

#include "General/RefTempl.h"
#include "KsAppErr.h"
#include "PWString.h"

class KsPublicCert;
class KsPublicCertCollection;
class KsSignature;

// Checks a movie's stored signature against the digest computed from the
// movie (see MovieDigest.h) and the known certificates that may have
// counter-signed it. The signature is valid when its stored digest equals
// the computed one (white space at either end aside), its user signature
// verifies over the digest's bytes with the user certificate it carries,
// and its counter-signature verifies over the user signature's bytes with
// the known certificate it names.
//
// A check that fails is no error: 0 with *outValid false and a warning
// giving the reason. Errors are those of the certificates (-903 when one
// lacks what it needs, -630 for PEM text without a certificate); -2 for a
// null signature, collection or out-parameter. Once the digests agree,
// *outUserPublicCert is the certificate the signature carries (set even
// when a later check fails), which is then given the digest to check.
eAppErr ValidateSignatureAgainstDigest(const PWStringRef& computedDigest, const KsRef<KsSignature>& signature,
                                       const KsRef<KsPublicCertCollection>& knownCertificates,
                                       KsRef<KsPublicCert>* outUserPublicCert, bool* outValid);
