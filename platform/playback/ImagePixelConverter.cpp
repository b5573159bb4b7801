#include "platform/playback/ImagePixelConverter.h"

#include <cstring>
#include <iterator>
#include <memory>

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include "platform/movfile/MovFourCC.h"

namespace hc::playback {

using movfile::MovFourCC;

namespace {

enum class Swizzle { None, RgbaToArgb16 };

struct PixelFormatRow {
  uint32_t code;
  AVPixelFormat ffmpegFormat;
  uint32_t bytesPerPixel;
  Swizzle swizzle;
};

constexpr PixelFormatRow kPixelFormats[] = {
    {40, AV_PIX_FMT_GRAY8, 1, Swizzle::None},
    {MovFourCC("L555"), AV_PIX_FMT_RGB555LE, 2, Swizzle::None},
    {16, AV_PIX_FMT_RGB555BE, 2, Swizzle::None},
    {MovFourCC("L565"), AV_PIX_FMT_RGB565LE, 2, Swizzle::None},
    {MovFourCC("B565"), AV_PIX_FMT_RGB565BE, 2, Swizzle::None},
    {MovFourCC("yuvs"), AV_PIX_FMT_YUYV422, 2, Swizzle::None},
    {MovFourCC("2vuy"), AV_PIX_FMT_UYVY422, 2, Swizzle::None},
    {24, AV_PIX_FMT_RGB24, 3, Swizzle::None},
    {MovFourCC("24BG"), AV_PIX_FMT_BGR24, 3, Swizzle::None},
    {32, AV_PIX_FMT_ARGB, 4, Swizzle::None},
    {MovFourCC("BGRA"), AV_PIX_FMT_BGRA, 4, Swizzle::None},
    {MovFourCC("ABGR"), AV_PIX_FMT_ABGR, 4, Swizzle::None},
    {MovFourCC("RGBA"), AV_PIX_FMT_RGBA, 4, Swizzle::None},
    {MovFourCC("b48r"), AV_PIX_FMT_RGB48BE, 6, Swizzle::None},
    {MovFourCC("b64a"), AV_PIX_FMT_RGBA64BE, 8, Swizzle::RgbaToArgb16},
    {MovFourCC("b16g"), AV_PIX_FMT_GRAY16BE, 2, Swizzle::None},
    {MovFourCC("f32g"), AV_PIX_FMT_GRAYF32, 4, Swizzle::None},
};

const PixelFormatRow* FindRow(uint32_t code) {
  for (const auto& row : kPixelFormats) {
    if (row.code == code) return &row;
  }
  return nullptr;
}

// The QuickTime code of each VideoPixelFormat, in the enum's order.
constexpr uint32_t kVideoPixelFormatCodes[] = {
    MovFourCC("BGRA"), 32, MovFourCC("RGBA"), MovFourCC("ABGR"), 24, MovFourCC("24BG"), 40,
    MovFourCC("2vuy"), MovFourCC("yuvs"),
};

const PixelFormatRow& RowOf(VideoPixelFormat format) { return *FindRow(VideoPixelFormatCode(format)); }

bool IsYuvFormat(AVPixelFormat format) {
  const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(format);
  return descriptor && !(descriptor->flags & AV_PIX_FMT_FLAG_RGB) && descriptor->nb_components >= 3;
}

// The full-range "J" formats are the plain ones with a full range; the scaler
// wants them named that way.
AVPixelFormat WithoutFullRangeAlias(AVPixelFormat format, bool& fullRange) {
  switch (format) {
    case AV_PIX_FMT_YUVJ420P: fullRange = true; return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P: fullRange = true; return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P: fullRange = true; return AV_PIX_FMT_YUV444P;
    case AV_PIX_FMT_YUVJ440P: fullRange = true; return AV_PIX_FMT_YUV440P;
    case AV_PIX_FMT_YUVJ411P: fullRange = true; return AV_PIX_FMT_YUV411P;
    default: return format;
  }
}

int SwsColorspace(AVColorSpace colorspace) {
  switch (colorspace) {
    case AVCOL_SPC_BT709: return SWS_CS_ITU709;
    case AVCOL_SPC_BT2020_NCL:
    case AVCOL_SPC_BT2020_CL: return SWS_CS_BT2020;
    case AVCOL_SPC_SMPTE240M: return SWS_CS_SMPTE240M;
    case AVCOL_SPC_FCC: return SWS_CS_FCC;
    default: return SWS_CS_ITU601;
  }
}

void CopyRows(const AVFrame& from, const ImageBuffer& to, const PixelFormatRow& row) {
  const size_t rowLength = static_cast<size_t>(to.width) * row.bytesPerPixel;
  for (int32_t y = 0; y < to.height; ++y) {
    const uint8_t* source = from.data[0] + static_cast<ptrdiff_t>(y) * from.linesize[0];
    uint8_t* target = to.base + static_cast<ptrdiff_t>(y) * to.rowBytes;
    if (row.swizzle == Swizzle::None) {
      std::memcpy(target, source, rowLength);
      continue;
    }
    for (int32_t x = 0; x < to.width; ++x) {  // R G B A -> A R G B, 16 bits each
      std::memcpy(target + 8 * x, source + 8 * x + 6, 2);
      std::memcpy(target + 8 * x + 2, source + 8 * x, 6);
    }
  }
}

struct FrameDeleter {
  void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};

}  // namespace

bool VideoPixelFormatFromCode(uint32_t code, VideoPixelFormat* out) {
  for (size_t i = 0; i < std::size(kVideoPixelFormatCodes); ++i) {
    if (kVideoPixelFormatCodes[i] == code) {
      if (out != nullptr) *out = static_cast<VideoPixelFormat>(i);
      return true;
    }
  }
  return false;
}

uint32_t VideoPixelFormatCode(VideoPixelFormat format) {
  const auto index = static_cast<size_t>(format);
  return index < std::size(kVideoPixelFormatCodes) ? kVideoPixelFormatCodes[index] : kVideoPixelFormatCodes[0];
}

size_t VideoPixelFormatRowBytes(VideoPixelFormat format, int width) {
  if (width <= 0 || width > ImagePixelConverter::kMaxFrameSide) return 0;
  const size_t pixels = static_cast<size_t>(width);
  const uint32_t bytes = RowOf(format).bytesPerPixel;
  return pixels * bytes + ((bytes == 2 && (pixels & 1)) ? 2 : 0);
}

ImagePixelConverter::~ImagePixelConverter() {
  sws_freeContext(scaler_);
  av_frame_free(&scratch_);
  sws_freeContext(frameScaler_);
}

bool ImagePixelConverter::SupportsPixelFormat(uint32_t pixelFormat) { return FindRow(pixelFormat) != nullptr; }

uint32_t ImagePixelConverter::BytesPerPixel(uint32_t pixelFormat) {
  const PixelFormatRow* row = FindRow(pixelFormat);
  return row ? row->bytesPerPixel : 0;
}

PlaybackErr ImagePixelConverter::CheckBuffer(const ImageBuffer& buffer) {
  const PixelFormatRow* row = FindRow(buffer.pixelFormat);
  if (!row) return PlaybackErr::FeatureUnsupported;
  if (!buffer.base || buffer.width <= 0 || buffer.height <= 0) return PlaybackErr::BadArgument;
  if (buffer.width > kMaxImageSide || buffer.height > kMaxImageSide ||
      static_cast<uint64_t>(buffer.width) * static_cast<uint64_t>(buffer.height) > kMaxImagePixels) {
    return PlaybackErr::SizeLimitExceeded;
  }
  if (buffer.rowBytes < static_cast<int64_t>(buffer.width) * row->bytesPerPixel) return PlaybackErr::BadArgument;
  return PlaybackErr::Ok;
}

PlaybackErr ImagePixelConverter::Convert(const AVFrame& picture, const ImageBuffer& destination) {
  PlaybackErr err = CheckBuffer(destination);
  if (err != PlaybackErr::Ok) return err;
  const PixelFormatRow& row = *FindRow(destination.pixelFormat);
  if (!picture.data[0] || picture.width <= 0 || picture.height <= 0) return PlaybackErr::BadArgument;

  // Grey and RGB pictures without a stated range are full range; only Y'CbCr
  // ones default to video range.
  bool sourceFullRange = picture.color_range == AVCOL_RANGE_JPEG;
  const AVPixelFormat sourceFormat = WithoutFullRangeAlias(static_cast<AVPixelFormat>(picture.format), sourceFullRange);
  if (picture.color_range == AVCOL_RANGE_UNSPECIFIED && !IsYuvFormat(sourceFormat)) sourceFullRange = true;
  if (!sws_isSupportedInput(sourceFormat)) return PlaybackErr::FeatureUnsupported;

  scaler_ = sws_getCachedContext(scaler_, picture.width, picture.height, sourceFormat, destination.width,
                                 destination.height, row.ffmpegFormat,
                                 SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT, nullptr, nullptr, nullptr);
  if (!scaler_) return PlaybackErr::FeatureUnsupported;
  const int* coefficients = sws_getCoefficients(SwsColorspace(picture.colorspace));
  // 4:2:2 destinations are video range, as QuickTime's YUV formats are.
  const bool destinationFullRange = !IsYuvFormat(row.ffmpegFormat);
  sws_setColorspaceDetails(scaler_, coefficients, sourceFullRange ? 1 : 0, coefficients, destinationFullRange ? 1 : 0,
                           0, 1 << 16, 1 << 16);

  if (!scratch_ || scratch_->width != destination.width || scratch_->height != destination.height ||
      scratch_->format != row.ffmpegFormat) {
    av_frame_free(&scratch_);
    scratch_ = av_frame_alloc();
    if (!scratch_) return PlaybackErr::OutOfMemory;
    scratch_->width = destination.width;
    scratch_->height = destination.height;
    scratch_->format = row.ffmpegFormat;
    if (av_frame_get_buffer(scratch_, 0) < 0) {
      av_frame_free(&scratch_);
      return PlaybackErr::OutOfMemory;
    }
  }
  const int rows = sws_scale(scaler_, picture.data, picture.linesize, 0, picture.height, scratch_->data,
                             scratch_->linesize);
  if (rows != destination.height) return PlaybackErr::CodecDataCorrupt;
  CopyRows(*scratch_, destination, row);
  return PlaybackErr::Ok;
}

bool ImagePixelConverter::FrameSizeAllowed(int width, int height) {
  return width > 0 && height > 0 && width <= kMaxFrameSide && height <= kMaxFrameSide &&
         int64_t{width} * height <= kMaxFramePixels;
}

PlaybackErr ImagePixelConverter::MakeFrameScaler(const FrameGeometry& geometry) {
  sws_freeContext(frameScaler_);
  frameScaler_ = sws_alloc_context();
  if (frameScaler_ == nullptr) return PlaybackErr::OutOfMemory;
  av_opt_set_int(frameScaler_, "srcw", geometry.width, 0);
  av_opt_set_int(frameScaler_, "srch", geometry.height, 0);
  av_opt_set_int(frameScaler_, "src_format", geometry.source, 0);
  av_opt_set_int(frameScaler_, "dstw", geometry.width, 0);
  av_opt_set_int(frameScaler_, "dsth", geometry.height, 0);
  av_opt_set_int(frameScaler_, "dst_format", geometry.target, 0);
  av_opt_set_int(frameScaler_, "sws_flags", SWS_BICUBIC, 0);
  av_opt_set_int(frameScaler_, "src_range", geometry.fullRange ? 1 : 0, 0);
  // Packed YUV keeps the source's range; RGB and grey are full range.
  const bool yuvTarget = geometry.target == AV_PIX_FMT_UYVY422 || geometry.target == AV_PIX_FMT_YUYV422;
  av_opt_set_int(frameScaler_, "dst_range", yuvTarget ? (geometry.fullRange ? 1 : 0) : 1, 0);
  av_opt_set_int(frameScaler_, "threads", threads_, 0);
  if (sws_init_context(frameScaler_, nullptr, nullptr) < 0) {
    sws_freeContext(frameScaler_);
    frameScaler_ = nullptr;
    return PlaybackErr::FeatureUnsupported;
  }
  frameGeometry_ = geometry;
  return PlaybackErr::Ok;
}

PlaybackErr ImagePixelConverter::ConvertFrame(const AVFrame* frame, VideoPixelFormat format, uint8_t* buffer,
                                         size_t bufferSize, size_t rowBytes) {
  if (frame == nullptr || buffer == nullptr) return PlaybackErr::BadArgument;
  if (!FrameSizeAllowed(frame->width, frame->height)) return PlaybackErr::SizeLimitExceeded;
  const size_t minimumRow = VideoPixelFormatRowBytes(format, frame->width);
  if (rowBytes < minimumRow || rowBytes > static_cast<size_t>(INT32_MAX)) return PlaybackErr::BadArgument;
  // 64-bit: up to 16384 rows of up to 2 GiB.
  const uint64_t needed = static_cast<uint64_t>(rowBytes) * static_cast<uint64_t>(frame->height - 1) + minimumRow;
  if (needed > bufferSize) return PlaybackErr::BadArgument;
  if (av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame->format)) == nullptr) return PlaybackErr::FeatureUnsupported;
  bool fullRange = frame->color_range == AVCOL_RANGE_JPEG;
  const AVPixelFormat source = WithoutFullRangeAlias(static_cast<AVPixelFormat>(frame->format), fullRange);
  if (!sws_isSupportedInput(source)) return PlaybackErr::FeatureUnsupported;
  const AVPixelFormat target = RowOf(format).ffmpegFormat;
  const FrameGeometry geometry{frame->width, frame->height, source, target, fullRange};
  if (frameScaler_ == nullptr || !(geometry == frameGeometry_)) {
    if (PlaybackErr e = MakeFrameScaler(geometry); PlaybackFailed(e)) return e;
  }
  // The frame interface spreads the work over the scaler's threads; the
  // caller's buffer is lent to it without being freed afterwards.
  std::unique_ptr<AVFrame, FrameDeleter> lent(av_frame_alloc());
  if (!lent) return PlaybackErr::OutOfMemory;
  lent->buf[0] = av_buffer_create(buffer, bufferSize, [](void*, uint8_t*) {}, nullptr, 0);
  if (lent->buf[0] == nullptr) return PlaybackErr::OutOfMemory;
  lent->data[0] = buffer;
  lent->linesize[0] = static_cast<int>(rowBytes);
  lent->width = frame->width;
  lent->height = frame->height;
  lent->format = target;
  if (sws_scale_frame(frameScaler_, lent.get(), frame) < 0) return PlaybackErr::CodecDataCorrupt;
  return PlaybackErr::Ok;
}

}  // namespace hc::playback
