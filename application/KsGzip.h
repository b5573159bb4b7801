#pragma once

#include <string>
#include <string_view>

#include "KsAppErr.h"

// Writes gzip files with zlib, in the format the gzip tool reads.
class KsGzip {
 public:
  // Sources larger than this are refused (-2).
  static constexpr size_t kMaxSourceBytes = 256u << 20;

  static eAppErr CompressBytes(std::string_view data, const std::string& destination);
  // -607 when the source can't be read as a regular file.
  static eAppErr CompressFile(const std::string& source, const std::string& destination);
};
