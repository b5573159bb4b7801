#pragma once

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "Projection/PanoProjection.h"
#include "Renderer/HcTexture.h"

class PanoRenderer;

// Up to four textures that together show a source image.
class HcTextureSet : public KsObject {
  HC_CLASS_HEADER(HcTextureSet)
 public:
  HcTextureSet();
  ~HcTextureSet() override;

  virtual eAppErr GetCanCreate() = 0;
  // The first texture whose tile covers any quadrant of the mask.
  virtual eAppErr GetTextureForQuadrant(uint32_t quadrantMask, KsRef<HcTexture>& out) = 0;
  // Change stamp of what the set shows.
  virtual uint64_t GetUpdateSeed() = 0;
  virtual uint32_t GetTextureCount() = 0;
  virtual KsRef<HcTexture> GetTextureByIndex(uint32_t index) = 0;
  // Lets the set take in a new frame before drawing.
  virtual eAppErr UpdateForRenderer(const KsRef<PanoRenderer>& renderer);

  KsRef<PanoProjection> GetProjection() const { return m_projection; }
  // Stores the projection; subclasses also forget what they built for the old one.
  virtual eAppErr SetProjection(const KsRef<PanoProjection>& projection);

 private:
  KsRef<PanoProjection> m_projection;
};
HC_CLASS_OBJECT(HcTextureSet, KsObject)
