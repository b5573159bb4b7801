#pragma once

#include <array>
#include <cstdint>

#include "General/KsRect.h"
#include "Renderer/HcTexture.h"
#include "Source/PixelFormatInfo.h"

class BufferSource;

// A texture filled from a CPU pixel buffer: lays one tile out (used
// rectangle, borders on wrapping edges, one pixel of overlap into
// neighbouring tiles, even alignment for luma/chroma pairs) and uploads the
// buffer's pixels into it.
class BitmapTexture : public HcTexture {
  HC_CLASS_HEADER(BitmapTexture)
 public:
  enum Side : uint32_t { kTop = 0, kRight = 1, kLeft = 2, kBottom = 3 };

  BitmapTexture();
  ~BitmapTexture() override;

  eAppErr GetCanCreate() override;
  eAppErr ImagePointToTexture(const KsPointF& imagePoint, KsPointF* textureCoord) override;
  virtual bool GetCanUseExactSize(const KsSize<int32_t>& size) = 0;
  virtual bool GetCanAllocate(const KsSize<int32_t>& size) = 0;
  virtual KsPointF TexelToTextureCoord(const KsPointF& texel) = 0;
  virtual eAppErr PrepareUpload(uint32_t rowBytes) = 0;
  virtual eAppErr UploadRect(const void* base, uint32_t rowBytes, const KsPoint<int32_t>& source,
                             const KsRect<int32_t>& destination) = 0;
  virtual eAppErr CreateTexture(const KsRef<HcTexture>& previous) = 0;
  virtual eAppErr UpdateImage(const KsRef<BufferSource>& source);

  void SetImageSize(int32_t width, int32_t height) {
    m_imageWidth = width;
    m_imageHeight = height;
  }
  void SetPixelFormat(const PixelFormatInfo* info) { m_pixelFormat = info; }
  const PixelFormatInfo* GetPixelFormat() const { return m_pixelFormat; }
  // -903 once the texture size is set.
  eAppErr SetUseAlpha(bool useAlpha);
  bool GetUseAlpha() const { return m_useAlpha; }
  uint64_t GetImageStamp() const { return m_imageStamp; }
  const KsRect<int32_t>& GetUsedRect() const { return m_used; }
  const KsRect<int32_t>& GetPlacement() const { return m_placement; }
  int32_t GetTextureWidth() const { return m_textureWidth; }
  int32_t GetTextureHeight() const { return m_textureHeight; }
  int32_t GetBorder() const { return m_border; }
  bool GetBorderAdded(Side side) const { return m_borderAdded[side]; }
  bool GetNeighbourOverlap(Side side) const { return m_overlap[side]; }
  bool GetWrapHorizontally() const { return m_wrapH; }
  bool GetWrapVertically() const { return m_wrapV; }

 protected:
  eAppErr Initialize();
  // Puts the upload state back after UpdateImage's uploads.
  virtual void EndUpload() {}

 private:
  eAppErr UploadBorders(const uint8_t* base, uint32_t rowBytes);

  uint64_t m_imageStamp = 0;
  const PixelFormatInfo* m_pixelFormat = nullptr;
  KsRect<int32_t> m_used;
  KsRect<int32_t> m_placement;
  int32_t m_textureWidth = 0;
  int32_t m_textureHeight = 0;
  int32_t m_imageWidth = 0;
  int32_t m_imageHeight = 0;
  int32_t m_border = 1;
  std::array<bool, 4> m_borderAdded{};
  std::array<bool, 4> m_overlap{};
  bool m_wrapH = false;
  bool m_wrapV = false;
  bool m_useAlpha = false;
};
HC_CLASS_OBJECT(BitmapTexture, HcTexture)
