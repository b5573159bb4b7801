#pragma once

#include <cstdint>
#include <span>

#include "platform/playback/PlaybackErr.h"

struct AVCodecContext;
struct AVFrame;
struct AVPacket;

namespace hc::playback {

// Decodes single compressed pictures of one codec type with FFmpeg: the
// still-image types 'png ', 'jpeg', 'tiff' and 'WRLE' (BMP) and intra-coded
// 'avc1' frames (their 'avcC' from the image description). Corrupt or
// truncated data answers CodecDataCorrupt, pictures past the size limits
// SizeLimitExceeded; nothing is read outside the given bytes.
//
// One decoder serves one thread at a time.
class ImageDecoder {
 public:
  ImageDecoder() = default;
  ~ImageDecoder();
  ImageDecoder(const ImageDecoder&) = delete;
  ImageDecoder& operator=(const ImageDecoder&) = delete;

  // Whether frames of this codec type can be decoded.
  static bool SupportsCodecType(uint32_t codecType);
  // The image description extension a codec type needs (its decoder
  // configuration), or 0.
  static uint32_t ConfigurationExtension(uint32_t codecType);
  // The codec type of a still-image file from its first bytes ('png ', 'jpeg',
  // 'tiff', 'WRLE'), or 0 when it is none of those.
  static uint32_t SniffCodecType(std::span<const uint8_t> fileBytes);
  // The compressor name an image description carries for a codec type.
  static const char* CompressorName(uint32_t codecType);

  // Opens the decoder; `configuration` is the payload of the codec's
  // configuration extension (empty when it has none).
  PlaybackErr Open(uint32_t codecType, std::span<const uint8_t> configuration = {});
  void Close();
  bool IsOpen() const { return context_ != nullptr; }
  uint32_t CodecType() const { return codecType_; }

  // Decodes one picture. The result stays valid until the next Decode or Close.
  PlaybackErr Decode(std::span<const uint8_t> data, const AVFrame*& picture);

 private:
  // Refuses a PNG or BMP whose header declares a size past the limits before
  // the decoder reads on.
  static PlaybackErr CheckDeclaredSize(uint32_t codecType, std::span<const uint8_t> bytes);
  PlaybackErr ReceivePicture();
  PlaybackErr FailureOf(int averror) const;

  uint32_t codecType_ = 0;
  AVCodecContext* context_ = nullptr;
  AVPacket* packet_ = nullptr;
  AVFrame* picture_ = nullptr;
};

}  // namespace hc::playback
