#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "InterfaceCommon/CompressedUserDataItem.h"
#include "InterfaceCommon/HcPresentation.h"
#include "InterfaceCommon/MovieSerializer.h"
#include "InterfaceCommon/MovieSigner.h"
#include "KsTrace.h"
#include "MovFixtures.h"
#include "MovTestTools.h"
#include "RegisterAllClasses.h"
#include "Security/OpenSSLPrivateKey.h"
#include "Security/PEMOpenSSLPublicCert.h"
#include "SecurityTestSupport.h"
#include "TestAuthority.h"
#include "Utilities/ObjectWriter.h"
#include "Utilities/XMLStringEmitter.h"
#include "platform/movfile/MovFile.h"

namespace fs = std::filesystem;
using hc::movfile::MovErr;
using hc::movfile::MovFile;

namespace {

// Gives the movie a presentation (named by its viewset) and a source
// description in each video track.
void Package(const std::string& path, const std::string& viewsetName) {
  auto reader = KsMakeRef<MovieSerializer>();
  ASSERT_EQ(reader->SetPath(PWStringRef(path)), 0);
  reader->SetGuessPanoProjection(true);
  ASSERT_GE(reader->SetInitDescriptionFromMovie(true), 0);
  KsRef<HcPresentation> presentation = reader->GetPresentation();
  presentation->SetViewsetName(PWStringRef(viewsetName));
  auto writer = KsMakeRef<MovieSerializer>();
  ASSERT_EQ(writer->SetPath(PWStringRef(path)), 0);
  writer->SetPresentation(presentation);
  ASSERT_EQ(writer->InitUUIDForPresentationAndSourceDesc(), 0);
  ASSERT_EQ(writer->SetInitMovieFromDescription(true), 0);
}

KsRef<PEMOpenSSLPublicCert> CertificateFrom(const fs::path& pem, const std::string& name) {
  auto certificate = KsMakeRef<PEMOpenSSLPublicCert>();
  certificate->SetPEMCertX509(PWStringRef(ReadFile(pem)));
  certificate->SetName(PWStringRef(name));
  return certificate;
}

KsRef<OpenSSLPrivateKey> KeyFrom(const fs::path& pem) {
  auto key = KsMakeRef<OpenSSLPrivateKey>();
  key->SetPrivateKey(PWStringRef(ReadFile(pem)));
  return key;
}

// An authority that issues the users' certificates and the known
// certificate that counter-signs; another one whose certificates nobody knows.
class MovieSignerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterAllClasses();
    scratch = new ScratchFolder;
    authority = new Authority(*scratch, "Root");
    stranger = new Authority(*scratch, "Stranger");
    authority->MakeRoot();
    stranger->MakeRoot();
    userCert = new fs::path(authority->Issue("user"));
    revokedCert = new fs::path(authority->Issue("revoked"));
    knownCert = new fs::path(authority->Issue("Kestrel"));
    foreignCert = new fs::path(stranger->Issue("Kestrel"));
    authority->Revoke(*revokedCert);
    crlFile = new fs::path(authority->RevocationList());
  }
  static void TearDownTestSuite() {
    delete crlFile;
    delete foreignCert;
    delete knownCert;
    delete revokedCert;
    delete userCert;
    delete stranger;
    delete authority;
    delete scratch;
  }

  void SetUp() override {
    KsTrace::ResetSettings();
    KsTrace::LoadSettings(PWStringRef(), true);
    KsTrace::SetOutputSink([this](const std::string& line) { trace += line + "\n"; });
    moviePath = folder.File("movie.mov");
    movtest::CopyFile(movtest::MovFixtures::Get().headerLast, moviePath);
    Package(moviePath, "presentation");
  }
  void TearDown() override {
    KsTrace::SetOutputSink({});
    KsTrace::ResetSettings();
  }

  KsRef<MovieSigner> SignerOfMovie() const {
    auto signer = KsMakeRef<MovieSigner>();
    EXPECT_EQ(signer->SetPath(PWStringRef(moviePath)), 0);
    return signer;
  }

  // Requests a signature as the given user, has the counter-signing
  // authority sign the user's signature with its key (as the openssl command
  // does), and stores the result in the movie.
  KsRef<KsSignature> SignAs(const fs::path& certificate, const std::string& user, const fs::path& counterKey) {
    KsRef<MovieSigner> signer = SignerOfMovie();
    signer->SetUserPublicCert(CertificateFrom(certificate, user));
    signer->SetUserPrivateKey(KeyFrom(authority->KeyOf(user)));
    signer->SetSignature(KsMakeRef<KsSignature>());
    EXPECT_EQ(signer->SetInitRequestFromMovie(true), 0);
    KsRef<KsSignature> signature = signer->GetSignature();
    const std::string userSignature = DecodeBase64(signature->GetUserDigestSignatureBase64());
    const fs::path signed_ = scratch->Write("user.sig", userSignature);
    const std::string counter =
        OpenSSLCommand({"dgst", "-sha1", "-sign", counterKey.string(), signed_.string()});
    signature->SetKsCounterSignatureBase64(PWStringRef(Base64Of(counter)));
    signature->SetKsPublicCertName(PWStringRef("Kestrel"));
    EXPECT_EQ(signer->SetInitMovieFromSignature(true), 0);
    return signature;
  }

  // Reads the stored signature into a new signer and validates it.
  bool StoredSignatureIsValid(const KsRef<X509CertificateStore>& store = nullptr) {
    KsRef<MovieSigner> signer = SignerOfMovie();
    EXPECT_EQ(signer->SetInitSignatureFromMovie(true), 0);
    auto known = KsMakeRef<KsPublicCertCollection>();
    known->Add(CertificateFrom(*knownCert, "Kestrel"));
    signer->SetKnownPublicCertificates(known);
    signer->SetCertificateStore(store);
    bool valid = false;
    EXPECT_EQ(signer->GetIsSignatureValidForMovie(&valid), 0);
    EXPECT_FALSE(signer->HoldsMovie());
    return valid;
  }

  static ScratchFolder* scratch;
  static Authority* authority;
  static Authority* stranger;
  static fs::path* userCert;
  static fs::path* revokedCert;
  static fs::path* knownCert;
  static fs::path* foreignCert;
  static fs::path* crlFile;
  movtest::TempDir folder;
  std::string moviePath;
  std::string trace;
};

ScratchFolder* MovieSignerTest::scratch = nullptr;
Authority* MovieSignerTest::authority = nullptr;
Authority* MovieSignerTest::stranger = nullptr;
fs::path* MovieSignerTest::userCert = nullptr;
fs::path* MovieSignerTest::revokedCert = nullptr;
fs::path* MovieSignerTest::knownCert = nullptr;
fs::path* MovieSignerTest::foreignCert = nullptr;
fs::path* MovieSignerTest::crlFile = nullptr;

}  // namespace

TEST_F(MovieSignerTest, ASignedMovieVerifiesWithTheOpensslCommandAndValidates) {
  const std::string framesBefore = movtest::FrameMd5(moviePath);
  const KsRef<KsSignature> signature = SignAs(*userCert, "user", authority->KeyOf("Kestrel"));
  EXPECT_EQ(movtest::FrameMd5(moviePath), framesBefore);
  const movtest::ToolResult exif = movtest::RunTool({"exiftool", "-v3", moviePath});
  EXPECT_EQ(exif.status, 0);
  EXPECT_EQ(exif.out.find("Warning"), std::string::npos) << exif.out;
  const movtest::ToolResult info = movtest::RunTool({"mediainfo", "--Details=1", moviePath});
  EXPECT_EQ(info.status, 0);
  EXPECT_EQ(info.out.find("Problem"), std::string::npos) << info.out;

  // The user's signature is a SHA-1 signature of the digest's 32 bytes.
  KsRef<MovieSigner> signer = SignerOfMovie();
  ASSERT_EQ(signer->OpenMovieForRead(), 0);
  PWStringRef digest;
  ASSERT_EQ(signer->GetMovieDigestBase64(&digest), 0);
  EXPECT_EQ(digest.Str(), signature->GetDigestBase64().Str());
  const fs::path digestBytes = scratch->Write("digest.bin", DecodeBase64(digest));
  ASSERT_EQ(fs::file_size(digestBytes), 32u);
  const fs::path userSignature =
      scratch->Write("signature.bin", DecodeBase64(signature->GetUserDigestSignatureBase64()));
  const fs::path publicKey = scratch->Path() / "user.pub";
  OpenSSLCommand({"x509", "-in", userCert->string(), "-pubkey", "-noout", "-out", publicKey.string()});
  EXPECT_NE(OpenSSLCommand({"dgst", "-sha1", "-verify", publicKey.string(), "-signature", userSignature.string(),
                            digestBytes.string()})
                .find("Verified OK"),
            std::string::npos);

  // Read back, the signature carries what was stored, and validates.
  KsRef<MovieSigner> reader = SignerOfMovie();
  ASSERT_EQ(reader->SetInitSignatureFromMovie(true), 0);
  const KsRef<KsSignature> read = reader->GetSignature();
  ASSERT_TRUE(read);
  EXPECT_EQ(read->GetDigestBase64().Str(), signature->GetDigestBase64().Str());
  EXPECT_EQ(read->GetUserDigestSignatureBase64().Str(), signature->GetUserDigestSignatureBase64().Str());
  EXPECT_EQ(read->GetKsCounterSignatureBase64().Str(), signature->GetKsCounterSignatureBase64().Str());
  EXPECT_EQ(read->GetKsPublicCertName().Str(), "Kestrel");
  // The presentation the movie stored, without live sources.
  const KsRef<HcPresentation> presentation = read->GetPresentation().DynamicCast<HcPresentation>();
  ASSERT_TRUE(presentation);
  EXPECT_EQ(presentation->GetViewsetName().Str(), "presentation");
  EXPECT_GE(presentation->GetSourceList()->GetCount(), 1u);
  ASSERT_TRUE(read->GetUserPublicCert());
  EXPECT_EQ(read->GetUserPublicCert().DynamicCast<PEMOpenSSLPublicCert>()->GetPEMCertX509().Str(), ReadFile(*userCert));
  EXPECT_TRUE(StoredSignatureIsValid());

  // Stored again: still one signature item, the media untouched.
  SignAs(*userCert, "user", authority->KeyOf("Kestrel"));
  MovFile movie;
  ASSERT_EQ(movie.OpenForRead(moviePath), MovErr::Ok);
  EXPECT_EQ(movie.UserData().CountItems(kSignatureUserDataType), 1u);
  EXPECT_EQ(movtest::FrameMd5(moviePath), framesBefore);
  EXPECT_TRUE(StoredSignatureIsValid());
}

TEST_F(MovieSignerTest, AlteredOrUntrustedSignaturesFailValidation) {
  auto store = KsMakeRef<X509CertificateStore>();
  store->SetCAFile(PWStringRef(authority->Certificate().string()));
  store->SetCRLFile(PWStringRef(crlFile->string()));

  SignAs(*userCert, "user", authority->KeyOf("Kestrel"));
  EXPECT_TRUE(StoredSignatureIsValid(store));

  // The presentation changed after signing.
  Package(moviePath, "another presentation");
  trace.clear();
  EXPECT_FALSE(StoredSignatureIsValid());
  EXPECT_NE(trace.find("not equal to stored digest"), std::string::npos) << trace;

  // Counter-signed by a certificate of the same name from another authority.
  SignAs(*userCert, "user", stranger->KeyOf("Kestrel"));
  trace.clear();
  EXPECT_FALSE(StoredSignatureIsValid());
  EXPECT_NE(trace.find("Ks counter signature didn't validate."), std::string::npos) << trace;

  // A revoked user certificate, and one no trusted authority issued.
  SignAs(*revokedCert, "revoked", authority->KeyOf("Kestrel"));
  EXPECT_TRUE(StoredSignatureIsValid());
  EXPECT_FALSE(StoredSignatureIsValid(store));
  auto strangers = KsMakeRef<X509CertificateStore>();
  strangers->SetCAFile(PWStringRef(stranger->Certificate().string()));
  SignAs(*userCert, "user", authority->KeyOf("Kestrel"));
  EXPECT_FALSE(StoredSignatureIsValid(strangers));
}

TEST_F(MovieSignerTest, ActionsCheckWhatTheyNeed) {
  KsRef<MovieSigner> signer = SignerOfMovie();
  for (const char* action : {"InitMovieFromSignature", "InitRequestFromMovie", "InitSignatureFromMovie"}) {
    SCOPED_TRACE(action);
    KsRef<HcProperty> property = signer->GetClassObject()->FindProperty(PWStringRef(action));
    ASSERT_TRUE(property);
    bool value = true;
    EXPECT_EQ(property->GetValue(signer.Get(), &value), 0);
    EXPECT_FALSE(value);
    EXPECT_EQ(property->SetValue(signer.Get(), false), 0);
  }
  EXPECT_EQ(signer->SetInitMovieFromSignature(true), -903);
  EXPECT_EQ(signer->SetInitRequestFromMovie(true), -903);
  EXPECT_EQ(signer->GetIsSignatureValidForMovie(nullptr), -2);
  bool valid = true;
  EXPECT_EQ(signer->GetIsSignatureValidForMovie(&valid), -903);
  EXPECT_FALSE(valid);
  PWStringRef digest;
  EXPECT_EQ(signer->GetMovieDigestBase64(&digest), -903);

  // No signature stored: reading fails and keeps the signature held.
  auto held = KsMakeRef<KsSignature>();
  signer->SetSignature(held);
  EXPECT_EQ(signer->SetInitSignatureFromMovie(true), -2026);
  EXPECT_EQ(signer->GetSignature().Get(), held.Get());
  EXPECT_FALSE(signer->HoldsMovie());
}

TEST_F(MovieSignerTest, NeverWritesOutThePrivateKeyOrItsPassPhrase) {
  KsRef<MovieSigner> signer = SignerOfMovie();
  KsRef<OpenSSLPrivateKey> key = KeyFrom(authority->KeyOf("user"));
  key->SetPassPhrase(PWStringRef("secret words"));
  signer->SetUserPrivateKey(key);
  signer->SetUserPublicCert(CertificateFrom(*userCert, "user"));
  signer->SetSignature(KsMakeRef<KsSignature>());
  auto emitter = KsMakeRef<XMLStringEmitter>();
  auto writer = KsMakeRef<ObjectWriter>();
  writer->SetEmitter(emitter);
  writer->SetRootElementName(PWStringRef("Signer"));
  writer->SetTargetObject(signer);
  ASSERT_EQ(writer->WriteObject(), 0);
  const std::string text = emitter->GetOutputString().Str();
  EXPECT_NE(text.find("UserPublicCert"), std::string::npos);
  EXPECT_EQ(text.find("PRIVATE KEY"), std::string::npos) << text;
  EXPECT_EQ(text.find("secret words"), std::string::npos) << text;
  EXPECT_EQ(text.find("UserPrivateKey"), std::string::npos) << text;
}

