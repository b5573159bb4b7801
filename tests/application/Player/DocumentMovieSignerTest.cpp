#include <gtest/gtest.h>

#include <QDir>

#include "FileTestSupport.h"
#include "HcApplicationResources.h"
#include "HcProxyCalls.h"
#include "HcViewerDocument.h"

namespace rt = hc::runtime;

namespace {

// A resources folder whose "Public Certificates" holds the named
// certificates (made by openssl) and a file that is no certificate.
class DocumentMovieSignerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous = HcApplicationResources::folder();
    HcApplicationResources::setFolder(QString::fromStdString(resources.Path()));
    QDir().mkpath(QString::fromStdString(Certificates()));
    WriteText(Certificates() + "/readme.txt", "not a certificate\n");
  }
  void TearDown() override { HcApplicationResources::setFolder(previous); }

  std::string Certificates() const { return resources / "Public Certificates"; }
  void MakeCertificate(const std::string& name) {
    ASSERT_EQ(RunTool({"openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-keyout",
                       resources / (name + ".key"), "-out", Certificates() + "/" + name + ".pem", "-days", "2",
                       "-subj", "/CN=" + name}),
              0);
  }
  static std::vector<std::string> CertificateNames(rt::Id signer) {
    std::vector<std::string> names;
    const rt::Value certificates = HcProxyCalls::Call(signer, "arrayOfKnownPublicCertificates");
    for (const rt::Value& certificate : certificates.GetArray()) {
      names.push_back(HcProxyCalls::Call(certificate.GetObject(), "name").GetString());
    }
    return names;
  }

  ScratchFolder resources;
  QString previous;
};

}  // namespace

TEST_F(DocumentMovieSignerTest, NoCertificatesGiveNoSigner) {
  HcViewerDocument document;
  EXPECT_FALSE(document._movieSigner());
}

TEST_F(DocumentMovieSignerTest, CertificatesEndInTheReverseOfTheirListing) {
  MakeCertificate("Alpha");
  MakeCertificate("Beta");
  HcViewerDocument document;
  const rt::ObjectRef signer = document._movieSigner();
  ASSERT_TRUE(signer);
  EXPECT_TRUE(HcProxyCalls::IsKindOfProxyClass(signer.Get(), "C_MovieSigner"));
  EXPECT_EQ(CertificateNames(signer.Get()), (std::vector<std::string>{"Beta", "Alpha"}));
}
