#include "platform/playback/DataReference.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <string_view>

namespace hc::playback {
namespace {

bool HasPrefixNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  return std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(b)) == a;
  });
}

std::string WorkingFolder() {
  std::vector<char> buffer(4096);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE || buffer.size() >= DataReference::kMaxLength) return {};
    buffer.resize(buffer.size() * 2);
  }
  return std::string(buffer.data());
}

}  // namespace

DataReference::DataReference(uint32_t type, const std::string& text) : type_(type) {
  bytes_.assign(text.begin(), text.end());
  bytes_.push_back(0);
}

PlaybackErr DataReference::FromPath(const std::string& path, DataReference* out) {
  if (out == nullptr || path.empty() || path.size() >= kMaxLength) return PlaybackErr::BadArgument;
  if (path.find('\0') != std::string::npos) return PlaybackErr::BadArgument;
  std::string absolute = path;
  if (path.front() != '/') {
    const std::string folder = WorkingFolder();
    if (folder.empty()) return PlaybackErr::IoError;
    absolute = folder + (folder.back() == '/' ? "" : "/") + path;
    if (absolute.size() >= kMaxLength) return PlaybackErr::BadArgument;
  }
  *out = DataReference(kFileType, absolute);
  return PlaybackErr::Ok;
}

PlaybackErr DataReference::FromUrl(const std::string& url, DataReference* out) {
  if (out == nullptr || url.size() >= kMaxLength) return PlaybackErr::BadArgument;
  if (!HasPrefixNoCase(url, "http://") && !HasPrefixNoCase(url, "https://")) {
    return PlaybackErr::BadArgument;
  }
  const std::string_view rest = std::string_view(url).substr(url.find("//") + 2);
  if (rest.empty() || rest.front() == '/') return PlaybackErr::BadArgument;
  for (const char c : url) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte == 0x7F) return PlaybackErr::BadArgument;
  }
  *out = DataReference(kUrlType, url);
  return PlaybackErr::Ok;
}

std::string DataReference::Text() const {
  if (bytes_.empty()) return {};
  return std::string(bytes_.begin(), bytes_.end() - 1);
}

}  // namespace hc::playback
