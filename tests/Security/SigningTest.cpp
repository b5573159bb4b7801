#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "General/HcClassMap.h"
#include "Security/KsPublicCertCollection.h"
#include "Security/OpenSSLPrivateKey.h"
#include "Security/PEMOpenSSLPublicCert.h"
#include "SecurityTestSupport.h"
#include "Utilities/HcProperty.h"

namespace {

constexpr const char* kPassPhrase = RsaKeyFiles::kPassPhrase;

KsRef<OpenSSLPrivateKey> KeyFrom(const std::filesystem::path& pemFile, const char* passPhrase = nullptr) {
  auto key = KsMakeRef<OpenSSLPrivateKey>();
  key->SetPrivateKey(ReadFile(pemFile));
  key->SetPassPhrase(passPhrase);
  return key;
}

// Signs the bytes; "" when the key made no signature, "error N" on failure.
std::string SignatureOf(OpenSSLPrivateKey& key, const std::string& bytes) {
  key.SetDataToSignBase64(Base64Of(bytes));
  PWStringRef signature;
  const eAppErr err = key.GetSignatureBase64(&signature);
  if (err != 0) return "error " + std::to_string(err);
  return signature.Str();
}

// 1 valid, 0 not valid, the error otherwise.
int Verify(PEMOpenSSLPublicCert& certificate, const std::string& bytes, const std::string& signatureText) {
  certificate.SetSignedDataBase64(Base64Of(bytes));
  certificate.SetSignatureBase64(signatureText);
  bool valid = true;
  const eAppErr err = certificate.GetIsValid(&valid);
  return err != 0 ? err : (valid ? 1 : 0);
}

class Signing : public testing::Test {
 protected:
  ScratchFolder folder;
  RsaKeyFiles keys{folder};
  const std::string message = RandomBytes(32, 42);
  std::filesystem::path messageFile = folder.Write("message", message);

  // Runs "openssl dgst -sha1 -verify" over the message file; true when it verifies.
  bool ToolVerifies(const std::string& signatureText, const std::filesystem::path& signedFile) {
    const auto signatureFile = folder.Write("signature", DecodeBase64(signatureText));
    return RunToolForResult({"openssl", "dgst", "-sha1", "-verify", keys.publicKey.string(), "-signature",
                             signatureFile.string(), signedFile.string()})
               .exitStatus == 0;
  }
};

}  // namespace

// Every PEM form a key comes in signs with the right pass phrase, and the
// openssl command verifies what it signed; wrong or missing pass phrases
// are refused with -630.
TEST_F(Signing, KeysInEveryPEMFormSignWhatOpensslVerifies) {
  const struct {
    std::filesystem::path file;
    const char* passPhrase;
    bool signs;
  } cases[] = {
      {keys.traditionalKey, nullptr, true},
      {keys.pkcs8Key, nullptr, true},
      {keys.encryptedTraditionalKey, kPassPhrase, true},
      {keys.encryptedPkcs8Key, kPassPhrase, true},
      {keys.encryptedTraditionalKey, "wrong phrase", false},
      {keys.encryptedPkcs8Key, "wrong phrase", false},
      {keys.encryptedTraditionalKey, nullptr, false},
      {keys.encryptedPkcs8Key, nullptr, false},
      {keys.encryptedPkcs8Key, "", false},
      // A pass phrase for a key that needs none does no harm.
      {keys.pkcs8Key, "unneeded", true},
  };
  for (const auto& c : cases) {
    const std::string label = c.file.filename().string() + " / " + (c.passPhrase ? c.passPhrase : "(none)");
    auto key = KeyFrom(c.file, c.passPhrase);
    const std::string signature = SignatureOf(*key, message);
    if (!c.signs) {
      EXPECT_EQ("error -630", signature) << label;
      continue;
    }
    // RSA-2048: as many bytes as the modulus.
    EXPECT_EQ(256u, DecodeBase64(signature).size()) << label;
    EXPECT_TRUE(ToolVerifies(signature, messageFile)) << label;
    EXPECT_EQ(1, Verify(*CertificateFrom(keys.certificate), message, signature)) << label;
  }
}

TEST_F(Signing, SignaturesOfOpensslDgstVerifyAndAChangedByteFailsBothWays) {
  const auto toolSignature = folder.Path() / "tool-signature";
  OpenSSLCommand({"dgst", "-sha1", "-sign", keys.pkcs8Key.string(), "-out", toolSignature.string(),
                  messageFile.string()});
  const std::string toolText = Base64Of(ReadFile(toolSignature));
  auto certificate = CertificateFrom(keys.certificate);
  EXPECT_EQ(1, Verify(*certificate, message, toolText));

  std::string changed = message;
  changed[7] = static_cast<char>(changed[7] ^ 0x01);
  const auto changedFile = folder.Write("changed", changed);
  EXPECT_EQ(0, Verify(*certificate, changed, toolText));
  const std::string ourSignature = SignatureOf(*KeyFrom(keys.traditionalKey), message);
  EXPECT_TRUE(ToolVerifies(ourSignature, messageFile));
  EXPECT_FALSE(ToolVerifies(ourSignature, changedFile));
  // PKCS #1 v1.5 is deterministic: both made the same signature.
  EXPECT_EQ(toolText, ourSignature);
}

TEST_F(Signing, AnotherKeysCertificateOrAnEmptySignatureDoesNotVerify) {
  RsaKeyFiles otherKeys(folder, "other");
  const std::string signature = SignatureOf(*KeyFrom(keys.pkcs8Key), message);
  EXPECT_EQ(0, Verify(*CertificateFrom(otherKeys.certificate), message, signature));

  auto certificate = CertificateFrom(keys.certificate);
  certificate->SetSignedDataBase64(Base64Of(message));
  certificate->SetSignature(KsMakeRef<KsData>());  // no length
  bool valid = true;
  EXPECT_EQ(0, certificate->GetIsValid(&valid));
  EXPECT_FALSE(valid);
  // A signature one byte short.
  const std::string shortened = DecodeBase64(signature).substr(1);
  EXPECT_EQ(0, Verify(*certificate, message, Base64Of(shortened)));
}

// A key or certificate used a second time works on the second bytes only:
// neither the first data nor the first signature survives new text.
TEST_F(Signing, ReusedKeysAndCertificatesNeverUseEarlierBytes) {
  auto key = KeyFrom(keys.pkcs8Key);
  const std::string first = "first movie digest";
  const std::string second = "second movie digest";
  const std::string firstSignature = SignatureOf(*key, first);
  const std::string secondSignature = SignatureOf(*key, second);
  EXPECT_NE(firstSignature, secondSignature);
  EXPECT_EQ(second, BytesOf(*key->GetDataToSign()));
  EXPECT_TRUE(ToolVerifies(secondSignature, folder.Write("second", second)));

  auto knownCertificate = CertificateFrom(keys.certificate);
  EXPECT_EQ(1, Verify(*knownCertificate, first, firstSignature));
  // A forged record for another movie naming the same certificate: the
  // first movie's signature over other bytes, then text that isn't Base64.
  EXPECT_EQ(0, Verify(*knownCertificate, second, firstSignature));
  EXPECT_EQ(1, Verify(*knownCertificate, second, secondSignature));
  EXPECT_EQ(-900, knownCertificate->SetSignatureBase64("forged!"));
  EXPECT_EQ(-900, knownCertificate->SetSignedDataBase64("forged!"));
  bool valid = true;
  EXPECT_EQ(-903, knownCertificate->GetIsValid(&valid));
  EXPECT_FALSE(valid);
  EXPECT_EQ(-900, key->SetDataToSignBase64("forged!"));
  EXPECT_FALSE(key->GetDataToSign());
}

TEST_F(Signing, MissingInputsAndUnreadablePEMAreErrors) {
  auto key = KsMakeRef<OpenSSLPrivateKey>();
  PWStringRef signature("untouched");
  EXPECT_EQ(-2, key->GetSignatureBase64(nullptr));
  EXPECT_EQ(-903, key->GetSignatureBase64(&signature));
  EXPECT_TRUE(signature.IsNull());
  key->SetPrivateKey(ReadFile(keys.pkcs8Key));
  EXPECT_EQ(-903, key->GetSignatureBase64(&signature));
  key->SetDataToSignBase64(Base64Of(message));
  for (const std::string& text : {std::string("not a key"), ReadFile(keys.certificate), ReadFile(keys.publicKey)}) {
    key->SetPrivateKey(text);
    EXPECT_EQ(-630, key->GetSignatureBase64(&signature));
    EXPECT_TRUE(signature.IsNull());
  }

  auto certificate = KsMakeRef<PEMOpenSSLPublicCert>();
  bool valid = true;
  EXPECT_EQ(-2, certificate->GetIsValid(nullptr));
  EXPECT_EQ(-903, certificate->GetIsValid(&valid));
  EXPECT_FALSE(valid);
  certificate->SetSignatureBase64(Base64Of("signature"));
  EXPECT_EQ(-903, certificate->GetIsValid(&valid));
  certificate->SetSignedDataBase64(Base64Of("data"));
  EXPECT_EQ(-903, certificate->GetIsValid(&valid));
  for (const std::string& text : {std::string("not a certificate"), ReadFile(keys.pkcs8Key)}) {
    certificate->SetPEMCertX509(text);
    valid = true;
    EXPECT_EQ(-630, certificate->GetIsValid(&valid));
    EXPECT_FALSE(valid);
  }
}

// Data to sign with no length set is signed as zero bytes.
TEST_F(Signing, DataWithoutALengthIsSignedAsNoBytes) {
  auto key = KeyFrom(keys.pkcs8Key);
  key->SetDataToSign(KsMakeRef<KsData>());
  PWStringRef signature;
  ASSERT_EQ(0, key->GetSignatureBase64(&signature));
  EXPECT_TRUE(ToolVerifies(signature.Str(), folder.Write("empty", "")));
}

// A key the library can't sign SHA-1 digests with signs nothing, which is no error.
TEST_F(Signing, AKeyThatCannotSignSHA1GivesNoSignature) {
  const auto edKey = folder.Path() / "ed25519.pem";
  OpenSSLCommand({"genpkey", "-algorithm", "ED25519", "-out", edKey.string()});
  EXPECT_EQ("", SignatureOf(*KeyFrom(edKey), message));
}

// An encrypted key without a pass phrase fails at once even when the process
// has a terminal to ask on: a child process with a pseudo-terminal as its
// controlling terminal signs, and is killed if it hasn't finished in time
// (a prompt waits for ever).
TEST_F(Signing, AnEncryptedKeyWithoutPassPhraseNeverPromptsOnTheTerminal) {
  const std::string texts[] = {ReadFile(keys.encryptedPkcs8Key), ReadFile(keys.encryptedTraditionalKey)};
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0 || setsid() < 0) _exit(3);
    if (open(ptsname(master), O_RDWR) < 0) _exit(4);  // becomes the controlling terminal
    for (const std::string& text : texts) {
      auto key = KsMakeRef<OpenSSLPrivateKey>();
      key->SetPrivateKey(text);
      key->SetDataToSignBase64(Base64Of("bytes"));
      PWStringRef signature;
      if (key->GetSignatureBase64(&signature) != -630) _exit(5);
    }
    _exit(0);
  }
  int status = 0;
  pid_t finished = 0;
  for (int waited = 0; waited < 300 && finished == 0; ++waited) {
    finished = waitpid(child, &status, WNOHANG);
    if (finished == 0) usleep(50 * 1000);
  }
  if (finished == 0) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    FAIL() << "signing waited for a pass phrase";
  }
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(0, WEXITSTATUS(status));
}

TEST(SigningClasses, OnlyCertificateTextIsSerialisedNeverTheKeyOrItsPassPhrase) {
  EXPECT_EQ((std::set<std::string>{}), OwnSerializedPropertyNames(OpenSSLPrivateKey::ClassGetClassObject()));
  EXPECT_EQ((std::set<std::string>{"PEMCertX509"}),
            OwnSerializedPropertyNames(PEMOpenSSLPublicCert::ClassGetClassObject()));
  EXPECT_FALSE(MakeObject<KsPrivateKey>("KsPrivateKey"));
  EXPECT_FALSE(MakeObject<KsPublicCert>("KsPublicCert"));
  EXPECT_TRUE(MakeObject<KsPrivateKey>("OpenSSLPrivateKey"));
  EXPECT_TRUE(MakeObject<KsPublicCert>("PEMOpenSSLPublicCert"));

  // Verification and signing are read-only properties that answer their codes.
  auto certificate = KsMakeRef<PEMOpenSSLPublicCert>();
  KsRef<HcProperty> isValid = certificate->GetClassObject()->FindProperty("IsValid");
  bool valid = true;
  EXPECT_EQ(-903, isValid->GetValue(certificate.Get(), &valid));
  EXPECT_FALSE(isValid->GetCanSet());
  auto key = KsMakeRef<OpenSSLPrivateKey>();
  KsRef<HcProperty> signature = key->GetClassObject()->FindProperty("SignatureBase64");
  PWStringRef text;
  EXPECT_EQ(-903, signature->GetValue(key.Get(), &text));
  EXPECT_FALSE(signature->GetCanSet());
}

TEST(SigningClasses, TheCertificateCollectionTakesOnlyCertificatesAndFindsThemByName) {
  KsRef<KsPublicCertCollection> collection = MakeObject<KsPublicCertCollection>("KsPublicCertCollection");
  ASSERT_TRUE(collection);
  KsRef<KsClassObject> classObject = collection->GetClassObject();
  EXPECT_TRUE(classObject->IsCollection());
  KsRef<HcProperty> element = classObject->FindProperty("KsPublicCert");
  ASSERT_TRUE(element);
  EXPECT_EQ(-2, element->SetValue(collection.Get(), KsRef<KsObject>(KsMakeRef<KsData>())));
  EXPECT_EQ(0u, collection->GetCount());
  auto first = KsMakeRef<PEMOpenSSLPublicCert>();
  first->SetName("Kestrel");
  auto second = KsMakeRef<PEMOpenSSLPublicCert>();
  second->SetName("kestrel");
  EXPECT_EQ(0, element->SetValue(collection.Get(), KsRef<KsObject>(first)));
  EXPECT_EQ(0, collection->Add(second));
  uint32_t count = 0;
  EXPECT_EQ(0, classObject->FindProperty("Count")->GetValue(collection.Get(), &count));
  EXPECT_EQ(2u, count);
  KsRef<KsPublicCert> found;
  EXPECT_EQ(0, collection->GetByName("kestrel", &found));
  EXPECT_EQ(second.Get(), found.Get());
  EXPECT_EQ(-607, collection->GetByName("KESTREL", &found));
}
