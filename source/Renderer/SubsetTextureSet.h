#pragma once

#include "General/KsRect.h"
#include "Projection/UpdateSeed.h"
#include "Renderer/HcTextureSet.h"
#include "Renderer/SubsetTexture.h"

// A texture set that shows a rectangle of another set's single texture
// through one subset texture. Its seed moves when the base set's does, and
// when the base set or the projection is replaced.
class SubsetTextureSet : public HcTextureSet {
  HC_CLASS_HEADER(SubsetTextureSet)
 public:
  enum : int32_t { kBaseTextureSetId = 300, kSrcRect0to1Id = 301 };

  SubsetTextureSet();
  ~SubsetTextureSet() override;

  eAppErr GetCanCreate() override;
  eAppErr GetTextureForQuadrant(uint32_t quadrantMask, KsRef<HcTexture>& out) override;
  uint64_t GetUpdateSeed() override;
  uint32_t GetTextureCount() override { return m_texture ? 1 : 0; }
  KsRef<HcTexture> GetTextureByIndex(uint32_t index) override;
  // Also advances the set's seed.
  eAppErr SetProjection(const KsRef<PanoProjection>& projection) override;

  // -2 for a base set that doesn't hold exactly one texture.
  eAppErr SetBaseTextureSet(const KsRef<HcTextureSet>& baseSet);
  KsRef<HcTextureSet> GetBaseTextureSet() const { return m_baseSet; }
  KsRectF GetSrcRect0to1() const { return m_srcRect; }
  eAppErr SetSrcRect0to1(const KsRectF& rect);
  // Gives the subset texture the projection's one tile.
  eAppErr Initialize();

 private:
  KsRectF m_srcRect{0.0f, 0.0f, 1.0f, 1.0f};
  KsRef<HcTextureSet> m_baseSet;
  uint64_t m_baseSeedSeen = 0;
  KsRef<SubsetTexture> m_texture;
  UpdateSeed m_seed;
};
HC_CLASS_OBJECT(SubsetTextureSet, HcTextureSet)
