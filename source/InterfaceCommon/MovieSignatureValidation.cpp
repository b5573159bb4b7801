#include "InterfaceCommon/MovieSignatureValidation.h"

#include "KsTrace.h"
#include "Security/KsPublicCert.h"
#include "Security/KsPublicCertCollection.h"
#include "Security/KsSignature.h"

namespace {

constexpr const char* kValidationMethod = "GetIsSignatureValidForMovie";

bool IsEmptyText(const PWStringRef& text) { return text.IsNull() || text.Str().empty(); }

// A check that does not hold ends the validation with its reason, and no error.
eAppErr Refuse(const char* reason) {
  KS_TRACE(KsTrace::kWarning, reason);
  return AppErr::kNoErr;
}

// Whether the certificate's signature verifies over its signed data; a
// certificate that cannot answer is an error.
eAppErr Verify(KsPublicCert& certificate, const PWStringRef& signedData, const PWStringRef& signature, bool* valid) {
  certificate.SetSignedDataBase64(signedData);
  certificate.SetSignatureBase64(signature);
  return certificate.GetIsValid(valid);
}

eAppErr DigestsAgree(const PWStringRef& computedDigest, const KsSignature& signature, bool* agree) {
  *agree = false;
  if (computedDigest.IsNull()) return Refuse("Couldn't calculate real movie digest.");
  if (IsEmptyText(signature.GetDigestBase64())) return Refuse("No digest stored in signature.");
  const PWStringRef computed = PWStringTrimWhitespace(computedDigest);
  const PWStringRef stored = PWStringTrimWhitespace(signature.GetDigestBase64());
  if (computed.Str() != stored.Str()) {
    KS_TRACE(KsTrace::kWarning, "Calc'ed digest \"%@\" not equal to stored digest \"%@\"", computed, stored);
    return AppErr::kNoErr;
  }
  *agree = true;
  return AppErr::kNoErr;
}

eAppErr UserSignatureVerifies(const KsSignature& signature, KsPublicCert* userCertificate, bool* valid) {
  *valid = false;
  if (!userCertificate) return Refuse("Signature didn't contain the user's certificate.");
  const PWStringRef userSignature = signature.GetUserDigestSignatureBase64();
  if (IsEmptyText(userSignature)) {
    return Refuse("Signature didn't contain user-signature of digest.");
  }
  eAppErr err = Verify(*userCertificate, PWStringTrimWhitespace(signature.GetDigestBase64()), userSignature, valid);
  if (err != AppErr::kNoErr) return err;
  return *valid ? AppErr::kNoErr : Refuse("User signature failed validity test");
}

eAppErr CounterSignatureVerifies(const KsSignature& signature, const KsPublicCertCollection& knownCertificates,
                                 bool* valid) {
  *valid = false;
  const PWStringRef counterSignature = signature.GetKsCounterSignatureBase64();
  if (IsEmptyText(counterSignature)) {
    return Refuse("Signature didn't contain KSTL counter-signature of digest.");
  }
  const PWStringRef name = signature.GetKsPublicCertName();
  if (IsEmptyText(name)) return Refuse("Signature didn't identify which KsCert counter-signed it");
  KsRef<KsPublicCert> known;
  if (knownCertificates.GetByName(name, &known) != AppErr::kNoErr || !known) {
    KS_TRACE(KsTrace::kWarning, "Signature specified an unknown name: %@", name);
    return AppErr::kNoErr;
  }
  eAppErr err = Verify(*known, signature.GetUserDigestSignatureBase64(), counterSignature, valid);
  if (err != AppErr::kNoErr) return err;
  return *valid ? AppErr::kNoErr : Refuse("Ks counter signature didn't validate.");
}

}  // namespace

eAppErr ValidateSignatureAgainstDigest(const PWStringRef& computedDigest, const KsRef<KsSignature>& signature,
                                       const KsRef<KsPublicCertCollection>& knownCertificates,
                                       KsRef<KsPublicCert>* outUserPublicCert, bool* outValid) {
  if (!outValid || !outUserPublicCert || !signature || !knownCertificates) {
    return KS_TRACE_ERR(AppErr::kBadArgument, kValidationMethod);
  }
  *outValid = false;
  bool passed = false;
  eAppErr err = DigestsAgree(computedDigest, *signature, &passed);
  if (err == AppErr::kNoErr && passed) {
    *outUserPublicCert = signature->GetUserPublicCert();
    err = UserSignatureVerifies(*signature, outUserPublicCert->Get(), &passed);
  }
  if (err == AppErr::kNoErr && passed) err = CounterSignatureVerifies(*signature, *knownCertificates, &passed);
  if (err != AppErr::kNoErr) return KS_TRACE_ERR(err, kValidationMethod);
  *outValid = passed;
  return AppErr::kNoErr;
}
