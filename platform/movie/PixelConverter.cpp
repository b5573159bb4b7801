#include "platform/movie/PixelConverter.h"

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include "platform/movie/DecodedFrame.h"
#include "platform/movie/MovFourCC.h"

namespace hc::movie {
namespace {

struct FormatRow {
  VideoPixelFormat format;
  uint32_t code;
  AVPixelFormat av;
  int bytesPerPixel;  // per two pixels for the 4:2:2 formats: 4 bytes
};

constexpr FormatRow kFormats[] = {
    {VideoPixelFormat::BGRA32, MovFourCC("BGRA"), AV_PIX_FMT_BGRA, 4},
    {VideoPixelFormat::ARGB32, 32, AV_PIX_FMT_ARGB, 4},
    {VideoPixelFormat::RGBA32, MovFourCC("RGBA"), AV_PIX_FMT_RGBA, 4},
    {VideoPixelFormat::ABGR32, MovFourCC("ABGR"), AV_PIX_FMT_ABGR, 4},
    {VideoPixelFormat::RGB24, 24, AV_PIX_FMT_RGB24, 3},
    {VideoPixelFormat::BGR24, MovFourCC("24BG"), AV_PIX_FMT_BGR24, 3},
    {VideoPixelFormat::Gray8, 40, AV_PIX_FMT_GRAY8, 1},
    {VideoPixelFormat::YUV422_2vuy, MovFourCC("2vuy"), AV_PIX_FMT_UYVY422, 2},
    {VideoPixelFormat::YUV422_yuvs, MovFourCC("yuvs"), AV_PIX_FMT_YUYV422, 2},
};

const FormatRow& RowOf(VideoPixelFormat format) {
  for (const FormatRow& row : kFormats) {
    if (row.format == format) return row;
  }
  return kFormats[0];
}

// Full-range JPEG formats are deprecated in libswscale: name the plain
// format and say the range separately.
AVPixelFormat PlainFormat(AVPixelFormat format, bool* fullRange) {
  *fullRange = false;
  switch (format) {
    case AV_PIX_FMT_YUVJ420P: *fullRange = true; return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P: *fullRange = true; return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P: *fullRange = true; return AV_PIX_FMT_YUV444P;
    case AV_PIX_FMT_YUVJ440P: *fullRange = true; return AV_PIX_FMT_YUV440P;
    case AV_PIX_FMT_YUVJ411P: *fullRange = true; return AV_PIX_FMT_YUV411P;
    default: return format;
  }
}

}  // namespace

bool VideoPixelFormatFromCode(uint32_t code, VideoPixelFormat* out) {
  for (const FormatRow& row : kFormats) {
    if (row.code == code) {
      if (out != nullptr) *out = row.format;
      return true;
    }
  }
  return false;
}

uint32_t VideoPixelFormatCode(VideoPixelFormat format) { return RowOf(format).code; }

size_t VideoPixelFormatRowBytes(VideoPixelFormat format, int width) {
  if (width <= 0 || width > PixelConverter::kMaxDimension) return 0;
  const size_t pixels = static_cast<size_t>(width);
  const int bytes = RowOf(format).bytesPerPixel;
  return pixels * static_cast<size_t>(bytes) + ((bytes == 2 && (pixels & 1)) ? 2 : 0);
}

PixelConverter::~PixelConverter() { sws_freeContext(context_); }

PlaybackErr PixelConverter::MakeContext(const Geometry& geometry) {
  sws_freeContext(context_);
  context_ = sws_alloc_context();
  if (context_ == nullptr) return PlaybackErr::OutOfMemory;
  const AVPixelFormat target = RowOf(static_cast<VideoPixelFormat>(geometry.target)).av;
  av_opt_set_int(context_, "srcw", geometry.width, 0);
  av_opt_set_int(context_, "srch", geometry.height, 0);
  av_opt_set_int(context_, "src_format", geometry.source, 0);
  av_opt_set_int(context_, "dstw", geometry.width, 0);
  av_opt_set_int(context_, "dsth", geometry.height, 0);
  av_opt_set_int(context_, "dst_format", target, 0);
  av_opt_set_int(context_, "sws_flags", SWS_BICUBIC, 0);
  av_opt_set_int(context_, "src_range", geometry.fullRange ? 1 : 0, 0);
  // Packed YUV keeps the source's range; RGB and grey are full range.
  const bool yuvTarget = target == AV_PIX_FMT_UYVY422 || target == AV_PIX_FMT_YUYV422;
  av_opt_set_int(context_, "dst_range", yuvTarget ? (geometry.fullRange ? 1 : 0) : 1, 0);
  av_opt_set_int(context_, "threads", threads_, 0);
  if (sws_init_context(context_, nullptr, nullptr) < 0) {
    sws_freeContext(context_);
    context_ = nullptr;
    return PlaybackErr::UnsupportedCodec;
  }
  geometry_ = geometry;
  return PlaybackErr::Ok;
}

bool PixelConverter::SizeAllowed(int width, int height) {
  return width > 0 && height > 0 && width <= kMaxDimension && height <= kMaxDimension &&
         int64_t{width} * height <= kMaxPixels;
}

PlaybackErr PixelConverter::Convert(const AVFrame* frame, VideoPixelFormat format, uint8_t* buffer,
                                    size_t bufferSize, size_t rowBytes) {
  if (frame == nullptr || buffer == nullptr) return PlaybackErr::BadArgument;
  if (!SizeAllowed(frame->width, frame->height)) return PlaybackErr::SizeLimitExceeded;
  const size_t minimumRow = VideoPixelFormatRowBytes(format, frame->width);
  if (rowBytes < minimumRow || rowBytes > static_cast<size_t>(INT32_MAX)) return PlaybackErr::BadArgument;
  // 64-bit: up to 16384 rows of up to 2 GiB.
  const uint64_t needed = static_cast<uint64_t>(rowBytes) * static_cast<uint64_t>(frame->height - 1) + minimumRow;
  if (needed > bufferSize) return PlaybackErr::BadArgument;
  if (av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame->format)) == nullptr) {
    return PlaybackErr::UnsupportedCodec;
  }
  bool fullRange = false;
  const AVPixelFormat source = PlainFormat(static_cast<AVPixelFormat>(frame->format), &fullRange);
  if (frame->color_range == AVCOL_RANGE_JPEG) fullRange = true;
  if (!sws_isSupportedInput(source)) return PlaybackErr::UnsupportedCodec;
  const Geometry geometry{frame->width, frame->height, source, static_cast<int>(format), fullRange};
  if (context_ == nullptr || !(geometry == geometry_)) {
    if (PlaybackErr e = MakeContext(geometry); PlaybackFailed(e)) return e;
  }
  // The frame interface spreads the work over the scaler's threads; the
  // caller's buffer is lent to it without being freed afterwards.
  AVFramePtr target(av_frame_alloc());
  if (!target) return PlaybackErr::OutOfMemory;
  target->buf[0] = av_buffer_create(buffer, bufferSize, [](void*, uint8_t*) {}, nullptr, 0);
  if (target->buf[0] == nullptr) return PlaybackErr::OutOfMemory;
  target->data[0] = buffer;
  target->linesize[0] = static_cast<int>(rowBytes);
  target->width = frame->width;
  target->height = frame->height;
  target->format = RowOf(format).av;
  if (sws_scale_frame(context_, target.get(), frame) < 0) return PlaybackErr::InvalidMovie;
  return PlaybackErr::Ok;
}

}  // namespace hc::movie
