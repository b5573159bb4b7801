#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "InterfaceCommon/CompressedUserDataItem.h"
#include "InterfaceCommon/MovieDigest.h"
#include "InterfaceCommon/MovieSignatureValidation.h"
#include "KsTrace.h"
#include "MovTestTools.h"
#include "RegisterAllClasses.h"
#include "Security/KsPublicCertCollection.h"
#include "Security/KsSignature.h"
#include "Security/PEMOpenSSLPublicCert.h"
#include "platform/movfile/MovFile.h"

using hc::movfile::MovErr;
using hc::movfile::MovFile;

namespace {

std::string ReadText(const std::string& path) {
  const std::vector<uint8_t> bytes = movtest::ReadBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

// Keys, certificates and SHA-1 signatures made with the openssl command.
class Signer {
 public:
  Signer(const movtest::TempDir& folder, const std::string& name) : folder_(folder), name_(name) {
    EXPECT_EQ(movtest::RunTool({"openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", File("key"),
                                "-out", File("cert"), "-subj", "/CN=" + name, "-days", "2"})
                  .status,
              0);
  }

  KsRef<KsPublicCert> Certificate() const {
    auto certificate = KsMakeRef<PEMOpenSSLPublicCert>();
    certificate->SetPEMCertX509(PWStringRef(ReadText(File("cert"))));
    certificate->SetName(PWStringRef(name_));
    return certificate;
  }

  // The Base64 signature of the bytes that the Base64 text stands for.
  std::string Sign(const std::string& base64) const {
    movtest::WriteBytes(File("text"), std::vector<uint8_t>(base64.begin(), base64.end()));
    EXPECT_EQ(movtest::RunTool({"openssl", "base64", "-d", "-A", "-in", File("text"), "-out", File("data")}).status, 0);
    EXPECT_EQ(
        movtest::RunTool({"openssl", "dgst", "-sha1", "-sign", File("key"), "-out", File("sig"), File("data")}).status,
        0);
    return movtest::RunTool({"openssl", "base64", "-A", "-in", File("sig")}).out;
  }

 private:
  std::string File(const std::string& what) const { return folder_.File(name_ + "." + what); }

  const movtest::TempDir& folder_;
  std::string name_;
};

class MovieSignatureValidation : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterAllClasses();
    folder = new movtest::TempDir;
    user = new Signer(*folder, "user");
    known = new Signer(*folder, "Known");
    stranger = new Signer(*folder, "stranger");
  }
  static void TearDownTestSuite() {
    delete stranger;
    delete known;
    delete user;
    delete folder;
  }

  void SetUp() override {
    KsTrace::ResetSettings();
    KsTrace::LoadSettings(PWStringRef(), true);
    KsTrace::SetOutputSink([this](const std::string& line) { trace += line + "\n"; });
    knownCertificates = KsMakeRef<KsPublicCertCollection>();
    knownCertificates->Add(stranger->Certificate());
    knownCertificates->Add(known->Certificate());
  }
  void TearDown() override {
    KsTrace::SetOutputSink({});
    KsTrace::ResetSettings();
  }

  // A signature over the digest by the user, counter-signed by the known certificate.
  static KsRef<KsSignature> SignatureOver(const std::string& digest) {
    auto signature = KsMakeRef<KsSignature>();
    signature->SetDigestBase64(PWStringRef(digest));
    signature->SetUserPublicCert(user->Certificate());
    const std::string userSignature = user->Sign(digest);
    signature->SetUserDigestSignatureBase64(PWStringRef(userSignature));
    signature->SetKsCounterSignatureBase64(PWStringRef(known->Sign(userSignature)));
    signature->SetKsPublicCertName(PWStringRef("Known"));
    return signature;
  }

  static movtest::TempDir* folder;
  static Signer* user;
  static Signer* known;
  static Signer* stranger;
  KsRef<KsPublicCertCollection> knownCertificates;
  std::string trace;
};

movtest::TempDir* MovieSignatureValidation::folder = nullptr;
Signer* MovieSignatureValidation::user = nullptr;
Signer* MovieSignatureValidation::known = nullptr;
Signer* MovieSignatureValidation::stranger = nullptr;

constexpr const char* kDigest = "n4bQgYhMfWWaL+qgxVrQFaO/TxsrC4Is0V1sFbDwCgg=";

}  // namespace

TEST_F(MovieSignatureValidation, JudgesEachPartOfTheSignature) {
  const std::string userSignature = user->Sign(kDigest);
  const struct {
    const char* name;
    std::function<void(KsSignature&)> change;
    bool valid;
    const char* warning;
    bool userCertificateTaken;
  } cases[] = {
      {"as signed", [](KsSignature&) {}, true, nullptr, true},
      {"stored digest with white space",
       [](KsSignature& s) { s.SetDigestBase64(PWStringRef(std::string(kDigest) + "\r\n")); }, true, nullptr, true},
      {"no stored digest", [](KsSignature& s) { s.SetDigestBase64(PWStringRef()); }, false,
       "No digest stored in signature.", false},
      {"another digest",
       [](KsSignature& s) { s.SetDigestBase64(PWStringRef("N4bQgYhMfWWaL+qgxVrQFaO/TxsrC4Is0V1sFbDwCgg=")); }, false,
       "Calc'ed digest \"n4bQ", false},
      {"no user certificate", [](KsSignature& s) { s.SetUserPublicCert(nullptr); }, false,
       "Signature didn't contain the user's certificate.", true},
      {"no user signature", [](KsSignature& s) { s.SetUserDigestSignatureBase64(PWStringRef()); }, false,
       "Signature didn't contain user-signature of digest.", true},
      {"signed by a stranger",
       [](KsSignature& s) { s.SetUserDigestSignatureBase64(PWStringRef(stranger->Sign(kDigest))); }, false,
       "User signature failed validity test", true},
      {"no counter-signature", [](KsSignature& s) { s.SetKsCounterSignatureBase64(PWStringRef()); }, false,
       "Signature didn't contain KSTL counter-signature of digest.", true},
      {"no certificate name", [](KsSignature& s) { s.SetKsPublicCertName(PWStringRef()); }, false,
       "Signature didn't identify which KsCert counter-signed it", true},
      {"an unknown name", [](KsSignature& s) { s.SetKsPublicCertName(PWStringRef("known")); }, false,
       "Signature specified an unknown name: known", true},
      {"counter-signed by another known certificate",
       [](KsSignature& s) { s.SetKsPublicCertName(PWStringRef("stranger")); }, false,
       "Ks counter signature didn't validate.", true},
  };
  const KsRef<KsSignature> original = SignatureOver(kDigest);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto signature = KsMakeRef<KsSignature>();
    signature->SetDigestBase64(original->GetDigestBase64());
    signature->SetUserPublicCert(original->GetUserPublicCert());
    signature->SetUserDigestSignatureBase64(original->GetUserDigestSignatureBase64());
    signature->SetKsCounterSignatureBase64(original->GetKsCounterSignatureBase64());
    signature->SetKsPublicCertName(original->GetKsPublicCertName());
    c.change(*signature);
    trace.clear();
    KsRef<KsPublicCert> userCertificate;
    bool valid = !c.valid;
    EXPECT_EQ(
        ValidateSignatureAgainstDigest(PWStringRef(kDigest), signature, knownCertificates, &userCertificate, &valid),
        0);
    EXPECT_EQ(valid, c.valid);
    if (c.warning) {
      EXPECT_NE(trace.find(c.warning), std::string::npos) << trace;
    }
    EXPECT_EQ(userCertificate && userCertificate == signature->GetUserPublicCert(),
              c.userCertificateTaken && signature->GetUserPublicCert());
  }

  KsRef<KsPublicCert> userCertificate;
  bool valid = true;
  EXPECT_EQ(ValidateSignatureAgainstDigest(PWStringRef(), original, knownCertificates, &userCertificate, &valid), 0);
  EXPECT_FALSE(valid);
  EXPECT_NE(trace.find("Couldn't calculate real movie digest."), std::string::npos);
  EXPECT_EQ(ValidateSignatureAgainstDigest(PWStringRef(kDigest), original, nullptr, &userCertificate, &valid), -2);
  EXPECT_EQ(ValidateSignatureAgainstDigest(PWStringRef(kDigest), nullptr, knownCertificates, &userCertificate, &valid),
            -2);
}

// A movie signed over its digest validates until its presentation changes.
TEST_F(MovieSignatureValidation, AMovieWhosePresentationChangedNoLongerValidates) {
  const std::string path = folder->File("signed.mov");
  movtest::MakeThreeTrackMovie(path, true);
  auto store = [&path](const std::string& presentation) {
    MovFile movie;
    ASSERT_EQ(movie.OpenForUpdate(path), MovErr::Ok);
    const std::vector<uint8_t> bytes(presentation.begin(), presentation.end());
    ASSERT_EQ(
        WriteCompressedUserDataItem(true, bytes, movie.UserData(), kZlibDataCompressorType, kPresentationUserDataType),
        0);
    ASSERT_EQ(WriteCompressedUserDataItem(true, bytes, movie.Track(0).UserData(), kZlibDataCompressorType,
                                          kSourceDescriptionUserDataType),
              0);
    ASSERT_EQ(movie.Save(), MovErr::Ok);
  };
  auto validate = [this, &path](const KsRef<KsSignature>& signature) {
    MovFile movie;
    EXPECT_EQ(movie.OpenForRead(path), MovErr::Ok);
    PWStringRef digest;
    EXPECT_EQ(ComputeMovieDigestBase64(&movie, &digest), 0);
    KsRef<KsPublicCert> userCertificate;
    bool valid = false;
    EXPECT_EQ(ValidateSignatureAgainstDigest(digest, signature, knownCertificates, &userCertificate, &valid), 0);
    return valid;
  };

  store("the presentation as signed");
  MovFile movie;
  ASSERT_EQ(movie.OpenForRead(path), MovErr::Ok);
  PWStringRef digest;
  ASSERT_EQ(ComputeMovieDigestBase64(&movie, &digest), 0);
  const KsRef<KsSignature> signature = SignatureOver(digest.Str());
  EXPECT_TRUE(validate(signature));

  store("the presentation as changed");
  trace.clear();
  EXPECT_FALSE(validate(signature));
  EXPECT_NE(trace.find("not equal to stored digest"), std::string::npos) << trace;
}
