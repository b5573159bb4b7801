#include "platform/playback/ImageDecoder.h"

#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/imgutils.h>
#include <libavutil/mem.h>
}

#include "platform/playback/ImageBuffer.h"
#include "platform/movfile/MovByteReader.h"
#include "platform/movfile/MovFourCC.h"

namespace hc::playback {

using movfile::MovFourCC;

namespace {

struct CodecRow {
  uint32_t codecType;
  AVCodecID codecId;
  uint32_t configurationExtension;
  const char* compressorName;
  // Fail on any damage the decoder notices. The TIFF decoder would also fail
  // on tags it merely does not know, so it relies on its own checks.
  bool strict;
};

constexpr CodecRow kCodecs[] = {
    {MovFourCC("png "), AV_CODEC_ID_PNG, 0, "PNG", true},
    {MovFourCC("jpeg"), AV_CODEC_ID_MJPEG, 0, "JPEG", true},
    {MovFourCC("tiff"), AV_CODEC_ID_TIFF, 0, "TIFF", false},
    {MovFourCC("WRLE"), AV_CODEC_ID_BMP, 0, "BMP", true},
    {MovFourCC("avc1"), AV_CODEC_ID_H264, MovFourCC("avcC"), "H.264", true},
};

const CodecRow* FindCodec(uint32_t codecType) {
  for (const auto& row : kCodecs) {
    if (row.codecType == codecType) return &row;
  }
  return nullptr;
}

bool StartsWith(std::span<const uint8_t> bytes, std::initializer_list<uint8_t> prefix) {
  return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

constexpr size_t kMaxConfigurationBytes = 1 << 20;

uint32_t ByteSwap32(uint32_t value) {
  return (value >> 24) | ((value >> 8) & 0xFF00) | ((value << 8) & 0xFF0000) | (value << 24);
}

bool SizeAllowed(int width, int height) {
  return width >= 0 && height >= 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
         static_cast<uint64_t>(width) * static_cast<uint64_t>(height) <= kMaxImagePixels;
}

}  // namespace

ImageDecoder::~ImageDecoder() { Close(); }

bool ImageDecoder::SupportsCodecType(uint32_t codecType) { return FindCodec(codecType) != nullptr; }

uint32_t ImageDecoder::ConfigurationExtension(uint32_t codecType) {
  const CodecRow* row = FindCodec(codecType);
  return row ? row->configurationExtension : 0;
}

const char* ImageDecoder::CompressorName(uint32_t codecType) {
  const CodecRow* row = FindCodec(codecType);
  return row ? row->compressorName : "";
}

uint32_t ImageDecoder::SniffCodecType(std::span<const uint8_t> fileBytes) {
  if (StartsWith(fileBytes, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A})) return MovFourCC("png ");
  if (StartsWith(fileBytes, {0xFF, 0xD8, 0xFF})) return MovFourCC("jpeg");
  if (StartsWith(fileBytes, {'I', 'I', 42, 0}) || StartsWith(fileBytes, {'M', 'M', 0, 42})) return MovFourCC("tiff");
  if (StartsWith(fileBytes, {'B', 'M'}) && fileBytes.size() >= 26) return MovFourCC("WRLE");
  return 0;
}

PlaybackErr ImageDecoder::CheckDeclaredSize(uint32_t codecType, std::span<const uint8_t> bytes) {
  movfile::MovByteReader reader(bytes);
  int64_t width = 0, height = 0;
  if (codecType == MovFourCC("png ")) {
    reader.Skip(16);  // signature, IHDR length and type
    width = reader.U32();
    height = reader.U32();
  } else if (codecType == MovFourCC("WRLE")) {
    reader.Skip(18);  // file header, info header size
    width = static_cast<int32_t>(ByteSwap32(reader.U32()));
    height = static_cast<int32_t>(ByteSwap32(reader.U32()));
    if (height < 0) height = -height;  // rows stored top down
  }
  if (!reader.Ok()) return PlaybackErr::Ok;  // too short: the decoder says what is wrong
  const bool fits = width >= 0 && height >= 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
                    static_cast<uint64_t>(width) * static_cast<uint64_t>(height) <= kMaxImagePixels;
  return fits ? PlaybackErr::Ok : PlaybackErr::SizeLimitExceeded;
}

PlaybackErr ImageDecoder::Open(uint32_t codecType, std::span<const uint8_t> configuration) {
  Close();
  const CodecRow* row = FindCodec(codecType);
  if (!row) return PlaybackErr::UnsupportedCodec;
  const AVCodec* codec = avcodec_find_decoder(row->codecId);
  if (!codec) return PlaybackErr::UnsupportedCodec;
  if (row->configurationExtension && configuration.empty()) return PlaybackErr::CodecDataCorrupt;
  if (configuration.size() > kMaxConfigurationBytes) return PlaybackErr::SizeLimitExceeded;

  context_ = avcodec_alloc_context3(codec);
  packet_ = av_packet_alloc();
  picture_ = av_frame_alloc();
  if (!context_ || !packet_ || !picture_) {
    Close();
    return PlaybackErr::OutOfMemory;
  }
  // The decoder refuses pictures past the limit before it allocates them.
  context_->max_pixels = static_cast<int64_t>(kMaxImagePixels);
  context_->thread_count = 0;
  context_->thread_type = FF_THREAD_SLICE;  // frame threads would hold a picture back
  context_->flags |= AV_CODEC_FLAG_LOW_DELAY;
  // Damage fails the picture instead of being patched over.
  if (row->strict) context_->err_recognition = AV_EF_EXPLODE | AV_EF_CRCCHECK;
  if (!configuration.empty()) {
    context_->extradata = static_cast<uint8_t*>(av_mallocz(configuration.size() + AV_INPUT_BUFFER_PADDING_SIZE));
    if (!context_->extradata) {
      Close();
      return PlaybackErr::OutOfMemory;
    }
    std::memcpy(context_->extradata, configuration.data(), configuration.size());
    context_->extradata_size = static_cast<int>(configuration.size());
  }
  if (avcodec_open2(context_, codec, nullptr) < 0) {
    Close();
    return row->configurationExtension ? PlaybackErr::CodecDataCorrupt : PlaybackErr::UnsupportedCodec;
  }
  codecType_ = codecType;
  return PlaybackErr::Ok;
}

void ImageDecoder::Close() {
  avcodec_free_context(&context_);
  av_packet_free(&packet_);
  av_frame_free(&picture_);
  codecType_ = 0;
}

PlaybackErr ImageDecoder::Decode(std::span<const uint8_t> data, const AVFrame*& picture) {
  picture = nullptr;
  if (!context_) return PlaybackErr::BadArgument;
  if (data.empty()) return PlaybackErr::CodecDataCorrupt;
  if (data.size() > kMaxImageDataBytes) return PlaybackErr::SizeLimitExceeded;
  PlaybackErr err = CheckDeclaredSize(codecType_, data);
  if (err != PlaybackErr::Ok) return err;

  // A padded copy: decoders may read a little past the end of their input.
  av_packet_unref(packet_);
  if (av_new_packet(packet_, static_cast<int>(data.size())) < 0) return PlaybackErr::OutOfMemory;
  std::memcpy(packet_->data, data.data(), data.size());
  packet_->flags |= AV_PKT_FLAG_KEY;
  av_frame_unref(picture_);

  const int sent = avcodec_send_packet(context_, packet_);
  av_packet_unref(packet_);
  if (sent < 0) {
    avcodec_flush_buffers(context_);
    return FailureOf(sent);
  }
  err = ReceivePicture();
  if (err != PlaybackErr::Ok) return err;
  picture = picture_;
  return PlaybackErr::Ok;
}

// A picture the decoder refused for its size (the pixel limit set in Open) is
// told apart from damage by the size it had read.
PlaybackErr ImageDecoder::FailureOf(int averror) const {
  if (averror == AVERROR(ENOMEM)) return PlaybackErr::OutOfMemory;
  if (!SizeAllowed(context_->width, context_->height)) return PlaybackErr::SizeLimitExceeded;
  return PlaybackErr::CodecDataCorrupt;
}

PlaybackErr ImageDecoder::ReceivePicture() {
  int received = avcodec_receive_frame(context_, picture_);
  if (received == AVERROR(EAGAIN)) {
    // A decoder that holds the picture back gives it up when drained; it is
    // reset afterwards for the next one.
    avcodec_send_packet(context_, nullptr);
    received = avcodec_receive_frame(context_, picture_);
    avcodec_flush_buffers(context_);
  }
  if (received < 0) {
    av_frame_unref(picture_);
    return FailureOf(received);
  }
  if (!picture_->data[0] || picture_->width <= 0 || picture_->height <= 0) {
    av_frame_unref(picture_);
    return PlaybackErr::CodecDataCorrupt;
  }
  if (!SizeAllowed(picture_->width, picture_->height)) {
    av_frame_unref(picture_);
    return PlaybackErr::SizeLimitExceeded;
  }
  // Pictures the decoder patched over damage are refused, not shown half-made.
  if (picture_->decode_error_flags || (picture_->flags & AV_FRAME_FLAG_CORRUPT)) {
    av_frame_unref(picture_);
    return PlaybackErr::CodecDataCorrupt;
  }
  return PlaybackErr::Ok;
}

}  // namespace hc::playback
