#include "Unwarp/Sampler.h"

#include <new>
#include <string>

#include "Source/BufferSource.h"
#include "Unwarp/SamplerImpl.h"

namespace {

// A format code as its four characters, or as its number when it has
// characters that cannot be printed (the classic codes 24, 32, 40).
std::string CodeText(uint32_t code) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const char c = static_cast<char>((code >> shift) & 0xff);
    if (c < 0x20 || c > 0x7e) return std::to_string(code);
    text += c;
  }
  return text;
}

// Whether the buffer holds the pixels its size and format promise.
bool HoldsPixels(BufferSource& buffer, const PixelFormatInfo& format) {
  const int64_t width = buffer.GetWidth();
  const int64_t height = buffer.GetHeight();
  const int64_t rowBytes = buffer.GetRowBytes();
  if (!buffer.GetBaseAddress() || width <= 0 || height <= 0) return false;
  if (rowBytes < width * static_cast<int64_t>(format.BytesPerPixel())) return false;
  return buffer.GetBufferSize() >= static_cast<uint64_t>(rowBytes) * static_cast<uint64_t>(height);
}

template <class T>
std::unique_ptr<Sampler> MakeFor(uint32_t components) {
  Sampler* made = nullptr;
  switch (components) {
    case 1: made = new (std::nothrow) SamplerImpl<T, 1>(); break;
    case 3: made = new (std::nothrow) SamplerImpl<T, 3>(); break;
    default: made = new (std::nothrow) SamplerImpl<T, 4>(); break;
  }
  return std::unique_ptr<Sampler>(made);
}

}  // namespace

Sampler::Sampler(size_t pixelBytes) : m_pixelBytes(pixelBytes) {}

Sampler::~Sampler() {
  m_output = nullptr;
  m_source = nullptr;
}

bool Sampler::CanSample(const PixelFormatInfo* format) {
  if (!format) return false;
  const uint32_t count = format->componentCount;
  if (count != 1 && count != 3 && count != 4) return false;
  for (uint32_t k = 0; k < count; ++k) {
    if (format->components[k] == PixelFormatInfo::kCompPacked) return false;
  }
  switch (format->bytesPerComponent) {
    case 1:
    case 2: return !format->isFloat;
    case 4: return format->isFloat;
    default: return false;
  }
}

std::unique_ptr<Sampler> Sampler::Create(const KsRef<BufferSource>& source, const KsRef<BufferSource>& output) {
  if (!source || !output) return nullptr;
  const PixelFormatInfo* format = source->GetPixelFormatInfo();
  const PixelFormatInfo* outputFormat = output->GetPixelFormatInfo();
  if (format != outputFormat) {
    KS_TRACE(KsTrace::kError, "Source and output buffers cannot have different pixel formats ('%s' vs. '%s')",
             CodeText(format ? format->code : 0), CodeText(outputFormat ? outputFormat->code : 0));
    return nullptr;
  }
  if (!CanSample(format) || !HoldsPixels(*source, *format) || !HoldsPixels(*output, *format)) return nullptr;
  std::unique_ptr<Sampler> sampler;
  switch (format->bytesPerComponent) {
    case 1: sampler = MakeFor<unsigned char>(format->componentCount); break;
    case 2: sampler = MakeFor<unsigned short>(format->componentCount); break;
    default: sampler = MakeFor<float>(format->componentCount); break;
  }
  if (!sampler) return nullptr;
  sampler->SetSource(source);
  sampler->SetOutput(output);
  return sampler;
}

bool Sampler::SetCursor(KsPoint<int>) { return false; }

void Sampler::StepCursor() {}

bool Sampler::SamplePixel(KsPoint<float>) { return false; }

bool Sampler::BackgroundPixel() { return false; }

bool Sampler::SamplePixelBilinear(KsPoint<float>) { return false; }

bool Sampler::Fits(const KsRef<BufferSource>& buffer) const {
  if (!buffer) return false;
  const PixelFormatInfo* format = buffer->GetPixelFormatInfo();
  return format && format->BytesPerPixel() == m_pixelBytes && HoldsPixels(*buffer, *format);
}

void Sampler::SetSource(const KsRef<BufferSource>& source) {
  m_source = source;
  const bool fits = Fits(source);
  m_sourceBase = fits ? source->GetBaseAddress() : nullptr;
  m_sourceRowBytes = fits ? static_cast<size_t>(source->GetRowBytes()) : 0;
  m_sourceWidth = fits ? source->GetWidth() : 0;
  m_sourceHeight = fits ? source->GetHeight() : 0;
}

void Sampler::SetOutput(const KsRef<BufferSource>& output) {
  m_output = output;
  const bool fits = Fits(output);
  m_outputBase = fits ? output->GetBaseAddress() : nullptr;
  m_outputRowBytes = fits ? static_cast<size_t>(output->GetRowBytes()) : 0;
  m_outputWidth = fits ? output->GetWidth() : 0;
  m_outputHeight = fits ? output->GetHeight() : 0;
  SetCursor({0, 0});
}
