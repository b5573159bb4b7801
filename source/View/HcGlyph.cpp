#include "View/HcGlyph.h"

#include "Renderer/HcVertexBuffer.h"
#include "View/VectorView.h"

HcGlyph::HcGlyph() = default;
HcGlyph::~HcGlyph() = default;

eAppErr HcGlyph::DrawTextures(const KsRectF& rect, const KsRef<PanoRenderer>& renderer,
                              const KsRef<HcTextureSet>& textureSet, float z, float opacity) {
  return VectorView::DrawTextureSetFlat(rect, renderer, textureSet, GetDrawTileBoundary(), {1.0f, 1.0f, 1.0f, opacity},
                                        FlatCache(), z);
}
