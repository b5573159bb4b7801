#include "Source/QTBufferSource.h"

#include <cmath>
#include <new>

#include "Source/SourceErr.h"
#include "platform/movfile/MovImageDescription.h"

namespace {

constexpr float kNtscDvRatio = 1.1f;
constexpr float kPalDvRatio = 0.9152542f;  // 54 / 59

}  // namespace

QTBufferSource::QTBufferSource() = default;

QTBufferSource::~QTBufferSource() {
  if (m_imageBuffer) QTBufferSource::DisposeBuffer();
}

eAppErr QTBufferSource::CreateBuffer(int32_t width, int32_t height) {
  const eAppErr err = BufferSource::CreateBuffer(width, height);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "CreateBuffer");
  KS_TRACE(KsTrace::kVerbose,
           "About to new GWorld: pixelFormat=%u, myBufferBounds={%i, %i, %i, %i}, baseAddr=0x%p, rowBytes=%i",
           GetPixelFormat(), 0, 0, height, width, static_cast<void*>(GetBaseAddress()), GetRowBytes());
  auto* buffer = new (std::nothrow)
      hc::playback::ImageBuffer{GetBaseAddress(), width, height, GetRowBytes(), GetPixelFormat()};
  if (!buffer) {
    KS_TRACE(KsTrace::kError, "Failed to create GWorldFromPtr, err=%i", static_cast<int32_t>(AppErr::kOutOfMemory));
    DisposeBuffer();
    return KS_TRACE_ERR(AppErr::kOutOfMemory, "CreateBuffer");
  }
  m_imageBuffer.reset(buffer);
  return AppErr::kNoErr;
}

void QTBufferSource::DisposeBuffer() {
  m_imageBuffer.reset();
  BufferSource::DisposeBuffer();
}

float QTBufferSource::GetPixelAspectRatioForDescription(std::span<const uint8_t> description, int32_t width,
                                                        int32_t height) {
  hc::movfile::MovImageDescription parsed;
  const bool haveDescription =
      !description.empty() && hc::movfile::MovImageDescription::Parse(description, parsed) == hc::movfile::MovErr::Ok;
  if (!description.empty() && !haveDescription) return 1.0f;
  if (haveDescription) {
    if (width == 0) width = parsed.Width();
    if (height == 0) height = parsed.Height();
    uint32_t horizontal = 0;
    uint32_t vertical = 0;
    if (parsed.PixelAspect(horizontal, vertical)) {
      const float ratio = static_cast<float>(vertical) / static_cast<float>(horizontal);
      return std::isfinite(ratio) && ratio > 0.0f ? ratio : 1.0f;
    }
    const uint32_t codec = parsed.CodecType();
    if (codec == PixelFormatCode("dvc ")) return kNtscDvRatio;
    if (codec == PixelFormatCode("dvcp") || codec == PixelFormatCode("dvpp")) return kPalDvRatio;
  }
  if (width == 720 && height == 480) return kNtscDvRatio;
  if (width == 720 && height == 576) return kPalDvRatio;
  return 1.0f;
}
