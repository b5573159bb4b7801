#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/movfile/MovFourCC.h"
#include "platform/playback/PlaybackErr.h"

namespace hc::playback {

// Where a movie's data lives: a local file or an http(s) URL. The bytes are
// the zero-terminated UTF-8 text of the absolute path or of the URL, as the
// movie layer stores a reference; the type says which.
class DataReference {
 public:
  static constexpr uint32_t kFileType = movfile::MovFourCC("alis");
  static constexpr uint32_t kUrlType = movfile::MovFourCC("url ");
  static constexpr size_t kMaxLength = 32768;

  DataReference() = default;

  // A path, made absolute against the working folder (it need not exist yet).
  // Empty paths, paths with a zero byte and overlong ones are refused.
  static PlaybackErr FromPath(const std::string& path, DataReference* out);
  // An http or https URL; other schemes, spaces and control characters are refused.
  static PlaybackErr FromUrl(const std::string& url, DataReference* out);

  bool IsEmpty() const { return type_ == 0; }
  uint32_t Type() const { return type_; }
  bool IsFile() const { return type_ == kFileType; }
  bool IsUrl() const { return type_ == kUrlType; }
  // The path or URL (without the terminating zero).
  std::string Text() const;
  // The stored bytes, terminating zero included.
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

  bool operator==(const DataReference& other) const = default;

 private:
  DataReference(uint32_t type, const std::string& text);

  uint32_t type_ = 0;
  std::vector<uint8_t> bytes_;
};

}  // namespace hc::playback
