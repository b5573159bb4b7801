#pragma once

#include <array>
#include <cstdint>

#include "General/WeakRef.h"
#include "Renderer/BitmapTexture.h"
#include "Renderer/HcTextureSet.h"

// A CPU pixel buffer on the graphics card as up to four textures, one per
// tile of one of the projection's tiling strategies.
class BitmapTextureSet : public HcTextureSet {
  HC_CLASS_HEADER(BitmapTextureSet)
 public:
  BitmapTextureSet();
  ~BitmapTextureSet() override;

  // Lays the set out for its strategy and asks every texture whether it can
  // be made.
  eAppErr GetCanCreate() override;
  eAppErr GetTextureForQuadrant(uint32_t quadrantMask, KsRef<HcTexture>& out) override;
  // The projection seed recorded when the textures were created.
  uint64_t GetUpdateSeed() override { return m_updateSeed; }
  uint32_t GetTextureCount() override { return m_textureCount; }
  KsRef<HcTexture> GetTextureByIndex(uint32_t index) override;
  // Also forgets the recorded seed.
  eAppErr SetProjection(const KsRef<PanoProjection>& projection) override;

  eAppErr SetStrategy(uint32_t strategy);
  uint32_t GetStrategy() const { return m_strategy; }
  eAppErr SetPixelFormat(const PixelFormatInfo* info);
  eAppErr SetRenderer(const KsRef<PanoRenderer>& renderer);
  KsRef<PanoRenderer> GetRenderer() const;
  void SetImageWidth(int32_t width) { m_imageWidth = width; }
  void SetImageHeight(int32_t height) { m_imageHeight = height; }
  void SetExtendTiles(bool extend) { m_extendTiles = extend; }
  // -903 once the set holds textures.
  eAppErr SetUseAlpha(bool useAlpha);
  bool GetUseAlpha() const { return m_useAlpha; }
  float GetWastedTexels();
  // Makes the OpenGL textures, taking over those of `previous` where they fit.
  eAppErr CreateTextures(const KsRef<HcTextureSet>& previous);
  KsRef<BitmapTexture> GetBitmapTexture(uint32_t index) const;
  int32_t GetImageWidth() const { return m_imageWidth; }
  int32_t GetImageHeight() const { return m_imageHeight; }
  const PixelFormatInfo* GetPixelFormat() const { return m_pixelFormat; }

 private:
  eAppErr Initialize();

  uint32_t m_strategy = 0;
  std::array<KsRef<BitmapTexture>, PanoProjection::kMaxTiles> m_textures;
  uint32_t m_textureCount = 0;
  int32_t m_imageWidth = 0;
  int32_t m_imageHeight = 0;
  const PixelFormatInfo* m_pixelFormat = nullptr;
  WeakRef::Ref m_renderer;
  bool m_extendTiles = false;
  uint64_t m_updateSeed = 0;
  bool m_useAlpha = false;
};
HC_CLASS_OBJECT(BitmapTextureSet, HcTextureSet)
