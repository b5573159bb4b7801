#pragma once

#include <optional>
#include <string>

namespace hc::installer {

// File fingerprints: a file's digest, by OpenSSL digest name, in lower-case
// hexadecimal. Files are read in 8192-byte blocks from one buffer.
class KestrelDigest {
 public:
  static constexpr std::size_t kBlockSize = 8192;

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
