#include "StillImageTestTools.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

#include "platform/playback/ImagePixelConverter.h"

namespace stilltest {

using namespace hc::playback;

void MakePicture(const std::string& path, const std::string& size, const std::string& pixelFormat,
                 const std::string& pattern) {
  auto result = movtest::RunTool({"ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                                  pattern + "=size=" + size + ":rate=1", "-frames:v", "1", "-pix_fmt", pixelFormat,
                                  "-update", "1", path});
  if (result.status != 0) throw std::runtime_error("ffmpeg could not make " + path);
}

std::vector<uint8_t> FfmpegPixels(const std::string& path, int width, int height, const std::string& pixelFormat) {
  const std::string scale = "scale=" + std::to_string(width) + ":" + std::to_string(height) + ":flags=" + kScaleFlags;
  auto result = movtest::RunTool({"ffmpeg", "-hide_banner", "-loglevel", "error", "-i", path, "-frames:v", "1", "-vf",
                                  scale, "-pix_fmt", pixelFormat, "-f", "rawvideo", "-"});
  if (result.status != 0) throw std::runtime_error("ffmpeg could not convert " + path);
  return std::vector<uint8_t>(result.out.begin(), result.out.end());
}

int MaxDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  if (a.size() != b.size()) return 256;
  int most = 0;
  for (size_t i = 0; i < a.size(); ++i) most = std::max(most, std::abs(int{a[i]} - int{b[i]}));
  return most;
}

GuardedBuffer::GuardedBuffer(int width, int height, uint32_t pixelFormat, int guardBytes) {
  rowLength_ = static_cast<size_t>(width) * ImagePixelConverter::BytesPerPixel(pixelFormat);
  const size_t rowBytes = rowLength_ + static_cast<size_t>(guardBytes);
  bytes_.assign(rowBytes * static_cast<size_t>(height), kGuard);
  view_ = {bytes_.data(), width, height, static_cast<int64_t>(rowBytes), pixelFormat};
}

std::vector<uint8_t> GuardedBuffer::Pixels() const {
  std::vector<uint8_t> pixels;
  for (int y = 0; y < view_.height; ++y) {
    auto row = bytes_.begin() + static_cast<ptrdiff_t>(y * view_.rowBytes);
    pixels.insert(pixels.end(), row, row + static_cast<ptrdiff_t>(rowLength_));
  }
  return pixels;
}

bool GuardedBuffer::GuardsIntact() const {
  for (int y = 0; y < view_.height; ++y) {
    for (int64_t x = static_cast<int64_t>(rowLength_); x < view_.rowBytes; ++x) {
      if (bytes_[static_cast<size_t>(y * view_.rowBytes + x)] != kGuard) return false;
    }
  }
  return true;
}

}  // namespace stilltest

namespace hc::playback {
void PrintTo(PlaybackErr err, std::ostream* out) { *out << PlaybackErrName(err) << " (" << PlaybackErrCode(err) << ")"; }
}  // namespace hc::playback
