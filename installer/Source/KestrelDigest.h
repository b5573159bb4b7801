#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

struct evp_md_ctx_st;

namespace hc::installer {

// File fingerprints: a file's digest, by OpenSSL digest name, in lower-case
// hexadecimal. Files are read in 8192-byte blocks from one buffer.
class KestrelDigest {
 public:
  static constexpr std::size_t kBlockSize = 8192;

  // A fingerprint computed from bytes as they pass, so that the bytes that
  // are checked are the very bytes that are written somewhere.
  class Stream {
   public:
    // An unknown digest name gives a stream whose fingerprint is none.
    explicit Stream(const std::string& digestName);
    ~Stream();
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    // False when the digest name names no digest.
    bool known() const { return context_ != nullptr; }
    void update(const void* bytes, std::size_t count);
    // The fingerprint of every byte passed so far; none when the digest is
    // unknown or failed. Ends the stream.
    std::optional<std::string> finish();

   private:
    struct ContextFree {
      void operator()(evp_md_ctx_st* context) const;
    };
    std::unique_ptr<evp_md_ctx_st, ContextFree> context_;
    bool failed_ = false;
  };

  // The fingerprint of the file at path; none when it cannot be opened or
  // read, or when digestName names no digest.
  static std::optional<std::string> fingerprintForPath(const std::string& path,
                                                       const std::string& digestName);
  // The same over an open file, read from its current offset to its end.
  static std::optional<std::string> fingerprintForDescriptor(int fd, const std::string& digestName);
  // True when the file's fingerprint equals the expected one.
  static bool fingerprintIsValidForFileAtPath(const std::string& fingerprint,
                                              const std::string& path,
                                              const std::string& digestName);
};

}  // namespace hc::installer
