#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "General/KsClassObject.h"
#include "General/KsData.h"
#include "PWString.h"
#include "Security/PEMOpenSSLPublicCert.h"
#include "ToolRunner.h"

// Runs the openssl command with the arguments; fails the test when it fails.
std::string OpenSSLCommand(const std::vector<std::string>& arguments);

std::string BytesOf(KsData& data);
std::string HexOf(const std::string& bytes);
std::string Base64Of(const std::string& bytes);
// The bytes of Base64 text (empty when it doesn't decode).
std::string DecodeBase64(const PWStringRef& text);
// Pseudo-random bytes, the same for the same seed.
std::string RandomBytes(size_t count, unsigned seed);
KsRef<KsData> DataWithBytes(const std::string& bytes);
// A certificate holding the PEM file's text.
KsRef<PEMOpenSSLPublicCert> CertificateFrom(const std::filesystem::path& pemFile);

// The names of the serialised properties a class adds to KsObject's.
std::set<std::string> OwnSerializedPropertyNames(const KsRef<KsClassObject>& classObject);

// An RSA key pair made with the openssl command, in the PEM forms a key may
// come in, with a self-signed certificate of its public half.
struct RsaKeyFiles {
  explicit RsaKeyFiles(const ScratchFolder& folder, const std::string& name = "key");

  static constexpr const char* kPassPhrase = "correct horse battery";
  std::filesystem::path traditionalKey;           // "BEGIN RSA PRIVATE KEY"
  std::filesystem::path pkcs8Key;                 // "BEGIN PRIVATE KEY"
  std::filesystem::path encryptedTraditionalKey;  // "Proc-Type: 4,ENCRYPTED"
  std::filesystem::path encryptedPkcs8Key;        // "BEGIN ENCRYPTED PRIVATE KEY"
  std::filesystem::path publicKey;
  std::filesystem::path certificate;
};
