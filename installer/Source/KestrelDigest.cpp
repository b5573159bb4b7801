#include "installer/Source/KestrelDigest.h"

#include <openssl/evp.h>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace hc::installer {

namespace {

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

void KestrelDigest::Stream::ContextFree::operator()(evp_md_ctx_st* context) const {
  EVP_MD_CTX_free(context);
}

KestrelDigest::Stream::Stream(const std::string& digestName) {
  const EVP_MD* digest = EVP_get_digestbyname(digestName.c_str());
  if (!digest) return;
  context_.reset(EVP_MD_CTX_new());
  if (context_ && EVP_DigestInit_ex(context_.get(), digest, nullptr) != 1) context_.reset();
}

KestrelDigest::Stream::~Stream() = default;

void KestrelDigest::Stream::update(const void* bytes, std::size_t count) {
  if (!context_ || failed_ || count == 0) return;
  failed_ = EVP_DigestUpdate(context_.get(), bytes, count) != 1;
}

std::optional<std::string> KestrelDigest::Stream::finish() {
  if (!context_ || failed_) return std::nullopt;
  unsigned char value[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  const bool finished = EVP_DigestFinal_ex(context_.get(), value, &length) == 1;
  context_.reset();
  if (!finished) return std::nullopt;
  return hexadecimal(value, length);
}

std::optional<std::string> KestrelDigest::fingerprintForDescriptor(int fd,
                                                                   const std::string& digestName) {
  Stream stream(digestName);
  if (!stream.known()) return std::nullopt;
  unsigned char block[kBlockSize];
  for (;;) {
    const ssize_t count = ::read(fd, block, sizeof block);
    if (count == 0) break;
    if (count < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;  // a failed read gives no fingerprint rather than a wrong one
    }
    stream.update(block, static_cast<std::size_t>(count));
  }
  return stream.finish();
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
