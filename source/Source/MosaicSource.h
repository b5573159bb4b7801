#pragma once

#include "General/KsRect.h"
#include "General/WeakRef.h"
#include "Source/PanoSource.h"

class SubsetTextureSet;

// A rectangle of another source's frames shown as a source of its own, with
// its own projection. It draws nothing itself: it wraps the base source's
// single-texture set in a subset set.
class MosaicSource : public PanoSource {
  HC_CLASS_HEADER(MosaicSource)
 public:
  enum : int32_t { kBaseSourceId = 300, kSrcRect0to1Id = 301, kSrcRectPixId = 302 };

  MosaicSource();
  ~MosaicSource() override;

  eAppErr TextureSetForRenderer(const KsRef<PanoRenderer>& renderer, KsRef<HcTextureSet>& set,
                                uint32_t quadrantMask) override;
  eAppErr GetDataAtPoint(int32_t x, int32_t y, uint32_t component, float* value) override;
  eAppErr DoUpdate() override;

  KsRef<PanoSource> GetBaseSource() const { return m_baseSource; }
  // Sizes the mosaic from the base's dimensions and whichever rectangle was given.
  eAppErr SetBaseSource(const KsRef<PanoSource>& base);
  KsRectF GetSrcRect0to1() const { return m_rect0to1; }
  eAppErr SetSrcRect0to1(const KsRectF& rect);
  KsRectF GetSrcRectPix() const { return m_rectPix; }
  eAppErr SetSrcRectPix(const KsRectF& rect);
  KsRef<SubsetTextureSet> GetLastTextureSet() const;

 private:
  KsRef<PanoSource> m_baseSource;
  KsRectF m_rect0to1{0.0f, 0.0f, 1.0f, 1.0f};
  KsRectF m_rectPix{0.0f, 0.0f, 0.0f, 0.0f};
  WeakRef::Ref m_lastSet;
};
HC_CLASS_OBJECT(MosaicSource, PanoSource)
