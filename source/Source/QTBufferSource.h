#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "Source/BufferSource.h"
#include "platform/playback/ImageBuffer.h"

// A buffer source whose buffer is also described as an image buffer of the
// movie layer, so still-image import and decompression can draw straight
// into it.
class QTBufferSource : public BufferSource {
  HC_CLASS_HEADER(QTBufferSource)
 public:
  enum : int32_t { kGWorldId = 400 };

  QTBufferSource();
  ~QTBufferSource() override;

  eAppErr CreateBuffer(int32_t width, int32_t height) override;
  void DisposeBuffer() override;

  // The buffer as the movie layer draws into it; null before CreateBuffer.
  const hc::playback::ImageBuffer* GetImageBuffer() const { return m_imageBuffer.get(); }
  void* GetGWorld() const { return m_imageBuffer.get(); }

  // Height of a pixel over its width for a big-endian image description
  // (may be empty) and a size (0 takes the description's own).
  static float GetPixelAspectRatioForDescription(std::span<const uint8_t> description, int32_t width,
                                                 int32_t height);

 private:
  std::unique_ptr<hc::playback::ImageBuffer> m_imageBuffer;
};
HC_CLASS_OBJECT(QTBufferSource, BufferSource)
