#pragma once

#include <cstdint>
#include <memory>

#include "General/WeakRef.h"
#include "Source/PanoSource.h"

class BitmapTextureSet;

// A source whose frames live in one CPU pixel buffer of its own, in the
// source's pixel format, rows without padding. A producer writes pixels and
// calls FrameReady; the source hands the buffer to a renderer as a bitmap
// texture set, choosing the tiling that wastes the fewest texels, and
// re-uploads only stale textures.
class BufferSource : public PanoSource {
  HC_CLASS_HEADER(BufferSource)
 public:
  enum : int32_t { kForceWidthId = 300, kForceHeightId = 301, kUseForcedDimensionsId = 302, kFPSId = 303 };
  // The largest buffer a source makes.
  static constexpr uint64_t kMaxBufferBytes = uint64_t{1} << 31;

  BufferSource();
  ~BufferSource() override;

  eAppErr TextureSetForRenderer(const KsRef<PanoRenderer>& renderer, KsRef<HcTextureSet>& set,
                                uint32_t quadrantMask) override;
  eAppErr GetDataAtPoint(int32_t x, int32_t y, uint32_t component, float* value) override;
  eAppErr DoUpdate() override;
  virtual eAppErr Initialize(int32_t width, int32_t height);
  // A new zero-filled buffer of that size (the old one goes first). -2 for a
  // size that is not positive or a format without bytes; -101 past
  // kMaxBufferBytes or when memory runs out.
  virtual eAppErr CreateBuffer(int32_t width, int32_t height);
  virtual void DisposeBuffer();

  uint8_t* GetBaseAddress() const { return m_buffer.get(); }
  int32_t GetRowBytes() const { return m_rowBytes; }
  uint64_t GetBufferSize() const { return m_bufferSize; }
  // A complete new frame is in the buffer.
  void FrameReady();
  eAppErr CreateTextureSet(const KsRef<PanoRenderer>& renderer, KsRef<HcTextureSet>& set, bool extendTiles);
  KsRef<BitmapTextureSet> GetLastTextureSet() const;
  static float GetAspectScale(int32_t width, int32_t height, int32_t newWidth, int32_t newHeight);

  int32_t GetForceWidth() const { return m_forceWidth; }
  eAppErr SetForceWidth(int32_t width);
  int32_t GetForceHeight() const { return m_forceHeight; }
  eAppErr SetForceHeight(int32_t height);
  bool GetUseForcedDimensions() const { return m_useForcedDimensions; }
  eAppErr SetUseForcedDimensions(bool use);
  float GetFPS() const { return 0.0f; }

 private:
  // Whether the set can be handed out again for this renderer and projection.
  bool CanReuse(const KsRef<BitmapTextureSet>& set, const KsRef<PanoRenderer>& renderer,
                const KsRef<PanoProjection>& projection) const;

  bool m_useForcedDimensions = false;
  int32_t m_forceWidth = 0;
  int32_t m_forceHeight = 0;
  int32_t m_rowBytes = 0;
  uint64_t m_bufferSize = 0;
  std::unique_ptr<uint8_t[]> m_buffer;
  WeakRef::Ref m_lastTextureSet;
};
HC_CLASS_OBJECT(BufferSource, PanoSource)
