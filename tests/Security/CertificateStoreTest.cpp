#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "General/HcClassMap.h"
#include "KsTrace.h"
#include "Security/X509CertificateStore.h"
#include "SecurityTestSupport.h"
#include "TestAuthority.h"
#include "Utilities/HcProperty.h"

namespace fs = std::filesystem;

namespace {

fs::path Concatenate(const ScratchFolder& scratch, const std::string& name, const std::vector<fs::path>& files) {
  std::string contents;
  for (const fs::path& file : files) contents += ReadFile(file);
  return scratch.Write(name, contents);
}

// A root with two intermediate authorities, the second of them revoked; the
// first issues a good, a revoked and an expired certificate; another root
// issues one more.
class CertificateStore : public testing::Test {
 protected:
  CertificateStore() {
    KsTrace::ResetSettings();
    KsTrace::LoadSettings(PWStringRef(), true);
    KsTrace::SetOutputSink([this](const std::string& line) { trace += line + "\n"; });
    root.MakeRoot();
    root.Issue("Intermediate", &intermediate);
    root.Issue("Withdrawn", &withdrawn);
    root.Revoke(withdrawn.Certificate());
    good = intermediate.Issue("good");
    revoked = intermediate.Issue("revoked");
    intermediate.Revoke(revoked);
    expired = intermediate.Issue("expired", nullptr, "20200101000000Z", "20210101000000Z");
    underWithdrawn = withdrawn.Issue("under-withdrawn");
    other.MakeRoot();
    foreign = other.Issue("foreign");
    caFile = Concatenate(scratch, "authorities.pem",
                         {root.Certificate(), intermediate.Certificate(), withdrawn.Certificate()});
    crlFile = Concatenate(scratch, "revocations.pem",
                          {root.RevocationList(), intermediate.RevocationList(), withdrawn.RevocationList()});
  }
  ~CertificateStore() override {
    KsTrace::SetOutputSink({});
    KsTrace::ResetSettings();
  }

  bool ToolVerifies(const fs::path& certificate, bool withRevocations) {
    std::vector<std::string> argv = {"openssl", "verify", "-CAfile", caFile.string()};
    if (withRevocations) argv.insert(argv.end(), {"-CRLfile", crlFile.string(), "-crl_check_all"});
    argv.push_back(certificate.string());
    return RunToolForResult(argv).exitStatus == 0;
  }

  ScratchFolder scratch;
  std::string trace;
  Authority root{scratch, "Root"};
  Authority intermediate{scratch, "Intermediate"};
  Authority withdrawn{scratch, "Withdrawn"};
  Authority other{scratch, "Other"};
  fs::path good, revoked, expired, underWithdrawn, foreign, caFile, crlFile;
};

}  // namespace

TEST_F(CertificateStore, AgreesWithOpensslVerifyOnEveryCertificate) {
  const struct {
    const char* name;
    fs::path certificate;
    bool trustedWithoutRevocations;
    bool trustedWithRevocations;
  } cases[] = {
      {"good", good, true, true},
      {"revoked", revoked, true, false},
      // Revoked one authority up: only a check of the whole chain sees it.
      {"under a revoked authority", underWithdrawn, true, false},
      {"issued by another authority", foreign, false, false},
      {"expired", expired, false, false},
  };
  for (const bool withRevocations : {false, true}) {
    auto store = KsMakeRef<X509CertificateStore>();
    store->SetCAFile(caFile.string());
    if (withRevocations) store->SetCRLFile(crlFile.string());
    for (const auto& c : cases) {
      const bool expected = withRevocations ? c.trustedWithRevocations : c.trustedWithoutRevocations;
      EXPECT_EQ(expected, ToolVerifies(c.certificate, withRevocations)) << c.name;
      EXPECT_EQ(expected, store->VerifyClientCert(CertificateFrom(c.certificate))) << c.name << withRevocations;
    }
  }
  // The library's reasons are traced.
  EXPECT_NE(std::string::npos, trace.find("certificate revoked")) << trace;
  EXPECT_NE(std::string::npos, trace.find("certificate has expired")) << trace;
}

TEST_F(CertificateStore, AuthoritiesComeFromAHashedFolderToo) {
  const fs::path folder = scratch.Path() / "hashed";
  fs::create_directory(folder);
  for (const fs::path& authority : {root.Certificate(), intermediate.Certificate()}) {
    fs::copy_file(authority, folder / (authority.parent_path().filename().string() + ".pem"));
  }
  OpenSSLCommand({"rehash", folder.string()});
  auto store = KsMakeRef<X509CertificateStore>();
  store->SetCADirectory(folder.string());
  EXPECT_TRUE(store->VerifyClientCert(CertificateFrom(good)));
  EXPECT_FALSE(store->VerifyClientCert(CertificateFrom(foreign)));
  store->SetCADirectory((scratch.Path() / "no-such-folder").string());
  EXPECT_FALSE(store->VerifyClientCert(CertificateFrom(good)));
}

TEST_F(CertificateStore, MissingAuthoritiesFilesOrTextTrustNothing) {
  auto store = KsMakeRef<X509CertificateStore>();
  // No CA file nor folder: the system's authorities are not consulted either.
  EXPECT_FALSE(store->VerifyClientCert(CertificateFrom(good)));
  store->SetCAFile(caFile.string());
  EXPECT_TRUE(store->VerifyClientCert(CertificateFrom(good)));
  EXPECT_FALSE(store->VerifyClientCert(KsMakeRef<PEMOpenSSLPublicCert>()));
  EXPECT_FALSE(store->VerifyClientCert(nullptr));

  store->SetCRLFile((scratch.Path() / "no-such.crl").string());
  EXPECT_FALSE(store->VerifyClientCert(CertificateFrom(good)));
  // Revocation checks need a list for every authority of the chain.
  store->SetCRLFile(intermediate.RevocationList().string());
  EXPECT_FALSE(store->VerifyClientCert(CertificateFrom(good)));
  store->SetCRLFile(nullptr);
  EXPECT_TRUE(store->VerifyClientCert(CertificateFrom(good)));

  store->SetCAFile((scratch.Path() / "no-such.pem").string());
  EXPECT_FALSE(store->VerifyClientCert(CertificateFrom(good)));
  store->SetCAFile(nullptr);
  EXPECT_TRUE(store->GetCAFile().IsNull());
  EXPECT_FALSE(store->VerifyClientCert(CertificateFrom(good)));
}

TEST(CertificateStoreClass, ThePathsAreSerialisedProperties) {
  KsRef<X509CertificateStore> store = MakeObject<X509CertificateStore>("X509CertificateStore");
  ASSERT_TRUE(store);
  KsRef<KsClassObject> classObject = store->GetClassObject();
  EXPECT_EQ((std::set<std::string>{"CADirectory", "CAFile", "CRLFile"}), OwnSerializedPropertyNames(classObject));
  EXPECT_EQ(0, classObject->FindProperty("CRLFile")->SetValue(store.Get(), PWStringRef("/some/list.pem")));
  EXPECT_EQ("/some/list.pem", store->GetCRLFile().Str());
}
