#include "SecurityTestSupport.h"

#include <gtest/gtest.h>

#include <random>

#include "General/KsObject.h"
#include "RegisterAllClasses.h"
#include "Security/Base64.h"
#include "Utilities/HcProperty.h"

namespace {

class RegisterClasses : public testing::Environment {
 public:
  void SetUp() override { RegisterAllClasses(); }
};

[[maybe_unused]] testing::Environment* const kRegisterClasses =
    testing::AddGlobalTestEnvironment(new RegisterClasses);

std::set<std::string> SerializedPropertyNames(const KsRef<KsClassObject>& classObject) {
  HcPropertyList properties;
  classObject->GetPropertyList(properties, true);
  std::set<std::string> names;
  for (const KsRef<HcProperty>& property : properties) {
    if (property->GetShouldSerialize()) names.insert(property->GetName().Str());
  }
  return names;
}

}  // namespace

std::string OpenSSLCommand(const std::vector<std::string>& arguments) {
  std::vector<std::string> argv = {"openssl"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return RunTool(argv, "/dev/null");
}

std::string BytesOf(KsData& data) {
  if (!data.HasLength()) return {};
  return std::string(static_cast<const char*>(data.GetMutableBytes()), data.GetLength());
}

std::string HexOf(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char byte : bytes) {
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 0xF];
  }
  return hex;
}

std::string Base64Of(const std::string& bytes) { return Base64EncodeBytes(bytes.data(), bytes.size()).Str(); }

std::string DecodeBase64(const PWStringRef& text) {
  hc::foundation::ByteHandle handle;
  if (Base64DecodeToHandle(text, &handle) != 0) return {};
  return std::string(reinterpret_cast<const char*>(handle.GetBytes()), handle.GetSize());
}

std::string RandomBytes(size_t count, unsigned seed) {
  std::mt19937 generator(seed);
  std::string bytes(count, '\0');
  for (char& byte : bytes) byte = static_cast<char>(generator() & 0xFF);
  return bytes;
}

KsRef<PEMOpenSSLPublicCert> CertificateFrom(const std::filesystem::path& pemFile) {
  auto certificate = KsMakeRef<PEMOpenSSLPublicCert>();
  certificate->SetPEMCertX509(ReadFile(pemFile));
  return certificate;
}

KsRef<KsData> DataWithBytes(const std::string& bytes) {
  auto data = KsMakeRef<KsData>();
  data->SetLength(static_cast<uint32_t>(bytes.size()));
  data->SetBytes(bytes.data());
  return data;
}

std::set<std::string> OwnSerializedPropertyNames(const KsRef<KsClassObject>& classObject) {
  std::set<std::string> names = SerializedPropertyNames(classObject);
  for (const std::string& inherited : SerializedPropertyNames(KsObject::ClassGetClassObject())) names.erase(inherited);
  return names;
}

RsaKeyFiles::RsaKeyFiles(const ScratchFolder& folder, const std::string& name) {
  const auto path = [&](const std::string& suffix) { return (folder.Path() / (name + suffix)).string(); };
  traditionalKey = path("-traditional.pem");
  pkcs8Key = path("-pkcs8.pem");
  encryptedTraditionalKey = path("-traditional-encrypted.pem");
  encryptedPkcs8Key = path("-pkcs8-encrypted.pem");
  publicKey = path("-public.pem");
  certificate = path("-cert.pem");
  const std::string passOut = std::string("pass:") + kPassPhrase;
  OpenSSLCommand({"genpkey", "-algorithm", "RSA", "-pkeyopt", "rsa_keygen_bits:2048", "-out", pkcs8Key});
  OpenSSLCommand({"rsa", "-in", pkcs8Key, "-traditional", "-out", traditionalKey});
  OpenSSLCommand({"rsa", "-in", pkcs8Key, "-traditional", "-aes256", "-passout", passOut, "-out",
                  encryptedTraditionalKey});
  OpenSSLCommand({"pkcs8", "-topk8", "-in", pkcs8Key, "-v2", "aes-256-cbc", "-passout", passOut, "-out",
                  encryptedPkcs8Key});
  OpenSSLCommand({"pkey", "-in", pkcs8Key, "-pubout", "-out", publicKey});
  OpenSSLCommand({"req", "-new", "-x509", "-key", pkcs8Key, "-subj", "/CN=" + name, "-days", "30", "-out",
                  certificate});
}
