#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/playback/ImageBuffer.h"
#include "platform/playback/ImageDecoder.h"
#include "platform/playback/ImagePixelConverter.h"
#include "platform/playback/PlaybackErr.h"

namespace hc::playback {

// One still image (PNG, JPEG, TIFF or BMP) opened from a path, a URL or
// bytes in memory: its size and depth, a synthesised image description, its
// EXIF maker note, and drawing it scaled into a pixel buffer.
//
// Opening reads the whole file (at most kMaxImageDataBytes) and decodes the
// picture once, so a damaged or unsupported image fails there with a clear
// code: CodecNotFound for a file that is no image of these types,
// CodecDataCorrupt for a truncated or corrupt one, SizeLimitExceeded past the
// limits of ImageBuffer.h. Nothing is read outside the file's bytes.
//
// One importer serves one thread at a time.
class GraphicsImporter {
 public:
  PlaybackErr OpenFile(const std::string& path);
  // "file:" URLs name local files; "http:" and "https:" URLs are read
  // through FFmpeg. Other schemes are refused with BadArgument.
  PlaybackErr OpenUrl(const std::string& url);
  PlaybackErr OpenBytes(std::span<const uint8_t> bytes);
  void Close();
  bool IsOpen() const { return decoder_.IsOpen(); }

  uint32_t CodecType() const { return decoder_.CodecType(); }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  // 24 for colour, 32 for colour with alpha, 40 for grey.
  uint16_t Depth() const { return depth_; }
  // The 86-byte big-endian image description of the compressed image.
  const std::vector<uint8_t>& ImageDescription() const { return description_; }
  // The compressed image as read.
  const std::vector<uint8_t>& ImageData() const { return bytes_; }

  // The EXIF maker note (tag 0x927C); UserDataItemNotFound without one.
  PlaybackErr ExifMakerNote(std::vector<uint8_t>& note) const;

  // Draws the image scaled to fill the whole destination.
  PlaybackErr Draw(const ImageBuffer& destination);

 private:
  PlaybackErr DecodeBytes();

  std::vector<uint8_t> bytes_;
  std::vector<uint8_t> description_;
  ImageDecoder decoder_;
  ImagePixelConverter converter_;
  const ::AVFrame* picture_ = nullptr;
  int32_t width_ = 0;
  int32_t height_ = 0;
  uint16_t depth_ = 0;
};

}  // namespace hc::playback
