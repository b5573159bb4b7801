#include "installer/Source/KestrelDigest.h"

#include <openssl/evp.h>

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace hc::installer {

namespace {

struct DigestContextFree {
  void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

std::string hexadecimal(const unsigned char* bytes, unsigned int length) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(length * 2);
  for (unsigned int i = 0; i < length; ++i) {
    text.push_back(kDigits[bytes[i] >> 4]);
    text.push_back(kDigits[bytes[i] & 0x0f]);
  }
  return text;
}

}  // namespace

std::optional<std::string> KestrelDigest::fingerprintForDescriptor(int fd,
                                                                   const std::string& digestName) {
  const EVP_MD* digest = EVP_get_digestbyname(digestName.c_str());
  if (!digest) return std::nullopt;
  std::unique_ptr<EVP_MD_CTX, DigestContextFree> context(EVP_MD_CTX_new());
  if (!context || EVP_DigestInit_ex(context.get(), digest, nullptr) != 1) return std::nullopt;

  unsigned char block[kBlockSize];
  for (;;) {
    const ssize_t count = ::read(fd, block, sizeof block);
    if (count == 0) break;
    if (count < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;  // a failed read gives no fingerprint rather than a wrong one
    }
    if (EVP_DigestUpdate(context.get(), block, static_cast<std::size_t>(count)) != 1) {
      return std::nullopt;
    }
  }
  unsigned char value[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(context.get(), value, &length) != 1) return std::nullopt;
  return hexadecimal(value, length);
}

std::optional<std::string> KestrelDigest::fingerprintForPath(const std::string& path,
                                                             const std::string& digestName) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  auto fingerprint = fingerprintForDescriptor(fd, digestName);
  ::close(fd);
  return fingerprint;
}

bool KestrelDigest::fingerprintIsValidForFileAtPath(const std::string& fingerprint,
                                                    const std::string& path,
                                                    const std::string& digestName) {
  auto computed = fingerprintForPath(path, digestName);
  return computed && *computed == fingerprint;
}

}  // namespace hc::installer
