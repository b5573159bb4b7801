#pragma once

#include <cstdint>

#include "View/SourceDisplay.h"

// A diagnostic source display: one texture of the source's texture set,
// chosen by index, stretched over the drawing rectangle whatever tile it
// covers, labelled "Tex #n" at the rectangle's centre, and by default with
// the part its tile covers outlined in green (left edge, diagonal, right
// edge).
class HcTexViewer : public SourceDisplay {
  HC_CLASS_HEADER(HcTexViewer)
 public:
  enum : int32_t { kWhichTextureId = 400 };

  HcTexViewer();
  ~HcTexViewer() override;

  eAppErr DrawTextures(const KsRectF& rect, const KsRef<PanoRenderer>& renderer, const KsRef<HcTextureSet>& textureSet,
                       float z, float opacity) override {
    return ActualDraw(rect, renderer, textureSet, z, opacity);
  }
  // -2 for an index beyond the set's textures, -1 for a missing texture or
  // quad; other failures as they come.
  eAppErr ActualDraw(const KsRectF& rect, const KsRef<PanoRenderer>& renderer, const KsRef<HcTextureSet>& textureSet,
                     float z, float opacity);

  uint32_t GetWhichTexture() const { return m_whichTexture; }
  eAppErr SetWhichTexture(uint32_t index);

 private:
  uint32_t m_whichTexture = 0;
};
HC_CLASS_OBJECT(HcTexViewer, SourceDisplay)
