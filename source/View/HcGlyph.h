#pragma once

#include "View/SourceDisplay.h"

// A source's image drawn flat with the display's opacity.
class HcGlyph : public SourceDisplay {
  HC_CLASS_HEADER(HcGlyph)
 public:
  HcGlyph();
  ~HcGlyph() override;

  eAppErr DrawTextures(const KsRectF& rect, const KsRef<PanoRenderer>& renderer, const KsRef<HcTextureSet>& textureSet,
                       float z, float opacity) override;
};
HC_CLASS_OBJECT(HcGlyph, SourceDisplay)
