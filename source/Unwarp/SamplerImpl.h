#pragma once

#include <cmath>
#include <cstddef>
#include <cstring>

#include "Unwarp/Sampler.h"

namespace sampler_detail {

// How a component of type T is read from and written to a buffer.
template <class T>
struct Component {
  static float Load(const T* at) { return static_cast<float>(*at); }
  // Integer components are truncated toward zero.
  static void Store(T* at, float value) { *at = static_cast<T>(value); }
};

// Every 16-bit format of the table keeps its components big-endian.
template <>
struct Component<unsigned short> {
  static float Load(const unsigned short* at) { return static_cast<float>(__builtin_bswap16(*at)); }
  static void Store(unsigned short* at, float value) {
    *at = __builtin_bswap16(static_cast<unsigned short>(value));
  }
};

}  // namespace sampler_detail

// The sampler for pixels of N components of type T (unsigned char, unsigned
// short or float; N 1, 3 or 4).
template <class T, int N>
class SamplerImpl final : public Sampler {
 public:
  static constexpr size_t kPixelBytes = N * sizeof(T);

  SamplerImpl() : Sampler(kPixelBytes) {
    m_sampleMethod = static_cast<SampleMethod>(&SamplerImpl::SamplePixelBilinear);
  }
  ~SamplerImpl() override = default;

  bool SetCursor(KsPoint<int> cursor) override {
    m_cursor = cursor;
    if (!m_outputBase || cursor.x < 0 || cursor.y < 0 || cursor.x >= m_outputWidth || cursor.y >= m_outputHeight) {
      m_writePosition = nullptr;
      return false;
    }
    m_writePosition = m_outputBase + static_cast<size_t>(cursor.y) * m_outputRowBytes +
                      static_cast<size_t>(cursor.x) * kPixelBytes;
    return true;
  }

  void StepCursor() override {
    if (++m_cursor.x < m_outputWidth) {
      if (m_writePosition) m_writePosition += static_cast<size_t>(m_step) * kPixelBytes;
      return;
    }
    const int nextRow = m_cursor.y + 1 < m_outputHeight ? m_cursor.y + 1 : 0;
    SamplerImpl::SetCursor({0, nextRow});
  }

  bool SamplePixel(KsPoint<float> point) override { return (this->*m_sampleMethod)(point); }

  bool BackgroundPixel() override {
    if (m_writePosition) std::memset(m_writePosition, 0, kPixelBytes);
    SamplerImpl::StepCursor();
    return true;
  }

  bool SamplePixelBilinear(KsPoint<float> point) override {
    float px = point.x;
    if (m_wrapsHorizontally && !(px >= 0.0f && px < 1.0f) && std::isfinite(px)) px -= std::floor(px);
    // Written so that NaN fails too.
    if (!(px >= 0.0f && px <= 1.0f && point.y >= 0.0f && point.y <= 1.0f) || !m_sourceBase) {
      return SamplerImpl::BackgroundPixel();
    }
    const float x = px * static_cast<float>(m_sourceWidth);
    const float y = point.y * static_cast<float>(m_sourceHeight);
    const int i = static_cast<int>(x);
    const int j = static_cast<int>(y);
    const float fx = x - static_cast<float>(i);
    const float fy = y - static_cast<float>(j);
    int i0 = i;
    int i1 = i + 1;
    if (i1 >= m_sourceWidth) {
      if (i0 >= m_sourceWidth) i0 = m_wrapsHorizontally ? 0 : m_sourceWidth - 1;
      i1 = i0 + 1 < m_sourceWidth ? i0 + 1 : (m_wrapsHorizontally ? 0 : m_sourceWidth - 1);
    }
    const int j0 = j < m_sourceHeight ? j : m_sourceHeight - 1;
    const int j1 = j0 + 1 < m_sourceHeight ? j0 + 1 : m_sourceHeight - 1;
    const T* rowA = reinterpret_cast<const T*>(m_sourceBase + static_cast<size_t>(j0) * m_sourceRowBytes);
    const T* rowC = reinterpret_cast<const T*>(m_sourceBase + static_cast<size_t>(j1) * m_sourceRowBytes);
    const T* a = rowA + static_cast<size_t>(i0) * N;
    const T* b = rowA + static_cast<size_t>(i1) * N;
    const T* c = rowC + static_cast<size_t>(i0) * N;
    const T* d = rowC + static_cast<size_t>(i1) * N;
    const float wA = (1.0f - fx) * (1.0f - fy);
    const float wB = fx * (1.0f - fy);
    const float wC = (1.0f - fx) * fy;
    const float wD = fx * fy;
    if (m_writePosition) {
      using C = sampler_detail::Component<T>;
      T* out = reinterpret_cast<T*>(m_writePosition);
      for (int k = 0; k < N; ++k) {
        const float value = wD * C::Load(d + k) + wC * C::Load(c + k) + wA * C::Load(a + k) + wB * C::Load(b + k);
        C::Store(out + k, value);
      }
    }
    SamplerImpl::StepCursor();
    return true;
  }
};
