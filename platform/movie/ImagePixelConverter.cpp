#include "platform/movie/ImagePixelConverter.h"

#include <cstring>

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include "platform/movie/MovFourCC.h"

namespace hc::movie {

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

}  // namespace

ImagePixelConverter::~ImagePixelConverter() {
  sws_freeContext(scaler_);
  av_frame_free(&scratch_);
}

bool ImagePixelConverter::SupportsPixelFormat(uint32_t pixelFormat) { return FindRow(pixelFormat) != nullptr; }

uint32_t ImagePixelConverter::BytesPerPixel(uint32_t pixelFormat) {
  const PixelFormatRow* row = FindRow(pixelFormat);
  return row ? row->bytesPerPixel : 0;
}

MovErr ImagePixelConverter::CheckBuffer(const ImageBuffer& buffer) {
  const PixelFormatRow* row = FindRow(buffer.pixelFormat);
  if (!row) return MovErr::FeatureUnsupported;
  if (!buffer.base || buffer.width <= 0 || buffer.height <= 0) return MovErr::BadArgument;
  if (buffer.width > kMaxImageSide || buffer.height > kMaxImageSide ||
      static_cast<uint64_t>(buffer.width) * static_cast<uint64_t>(buffer.height) > kMaxImagePixels) {
    return MovErr::SizeLimitExceeded;
  }
  if (buffer.rowBytes < static_cast<int64_t>(buffer.width) * row->bytesPerPixel) return MovErr::BadArgument;
  return MovErr::Ok;
}

MovErr ImagePixelConverter::Convert(const AVFrame& picture, const ImageBuffer& destination) {
  MovErr err = CheckBuffer(destination);
  if (err != MovErr::Ok) return err;
  const PixelFormatRow& row = *FindRow(destination.pixelFormat);
  if (!picture.data[0] || picture.width <= 0 || picture.height <= 0) return MovErr::BadArgument;

  // Grey and RGB pictures without a stated range are full range; only Y'CbCr
  // ones default to video range.
  bool sourceFullRange = picture.color_range == AVCOL_RANGE_JPEG;
  const AVPixelFormat sourceFormat = WithoutFullRangeAlias(static_cast<AVPixelFormat>(picture.format), sourceFullRange);
  if (picture.color_range == AVCOL_RANGE_UNSPECIFIED && !IsYuvFormat(sourceFormat)) sourceFullRange = true;
  if (!sws_isSupportedInput(sourceFormat)) return MovErr::FeatureUnsupported;

  scaler_ = sws_getCachedContext(scaler_, picture.width, picture.height, sourceFormat, destination.width,
                                 destination.height, row.ffmpegFormat,
                                 SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT, nullptr, nullptr, nullptr);
  if (!scaler_) return MovErr::FeatureUnsupported;
  const int* coefficients = sws_getCoefficients(SwsColorspace(picture.colorspace));
  // 4:2:2 destinations are video range, as QuickTime's YUV formats are.
  const bool destinationFullRange = !IsYuvFormat(row.ffmpegFormat);
  sws_setColorspaceDetails(scaler_, coefficients, sourceFullRange ? 1 : 0, coefficients, destinationFullRange ? 1 : 0,
                           0, 1 << 16, 1 << 16);

  if (!scratch_ || scratch_->width != destination.width || scratch_->height != destination.height ||
      scratch_->format != row.ffmpegFormat) {
    av_frame_free(&scratch_);
    scratch_ = av_frame_alloc();
    if (!scratch_) return MovErr::OutOfMemory;
    scratch_->width = destination.width;
    scratch_->height = destination.height;
    scratch_->format = row.ffmpegFormat;
    if (av_frame_get_buffer(scratch_, 0) < 0) {
      av_frame_free(&scratch_);
      return MovErr::OutOfMemory;
    }
  }
  const int rows = sws_scale(scaler_, picture.data, picture.linesize, 0, picture.height, scratch_->data,
                             scratch_->linesize);
  if (rows != destination.height) return MovErr::CodecDataCorrupt;
  CopyRows(*scratch_, destination, row);
  return MovErr::Ok;
}

}  // namespace hc::movie
