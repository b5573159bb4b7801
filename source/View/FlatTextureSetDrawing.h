#pragma once

#include "General/KsColor.h"
#include "General/KsRect.h"
#include "General/RefTempl.h"
#include "KsAppErr.h"

class PanoRenderer;
class HcTextureSet;
class HcVertexBuffer;

// Draws every texture of a texture set flat into a destination rectangle:
// the first texture's tile (within the unit square) is what the rectangle
// shows, and every tile lands at its place relative to it. Flat source
// views and glyph objects draw through it; the vector views' routine of the
// same name forwards here.
class FlatTextureSetDrawing {
 public:
  // What one caller keeps between draws: the quad and what it was last
  // filled for. The quad is refilled when the tile, the destination or the
  // depth differ from those.
  struct Cache {
    KsRef<HcVertexBuffer> buffer;
    KsRectF tileRect;
    KsRectF destination;
    float z = 0.0f;
    bool filled = false;
  };

  // -2 for an empty renderer or texture set or a set without textures, -1
  // when texture 0 is missing, -200 when no quad can be made; failures to
  // activate, draw or deactivate a texture are returned at once.
  static eAppErr DrawTextureSetFlat(const KsRectF& destination, const KsRef<PanoRenderer>& renderer,
                                    const KsRef<HcTextureSet>& textureSet, bool drawTileBoundary,
                                    const KsColorF& color, Cache& cache, float z);
};
