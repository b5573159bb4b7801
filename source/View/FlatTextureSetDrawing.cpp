#include "View/FlatTextureSetDrawing.h"

#include "Renderer/HcTextureSet.h"
#include "Renderer/HcVertexBuffer.h"
#include "Renderer/PanoRenderer.h"
#include "Source/SourceErr.h"

namespace {

// The renderer made no vertex buffer.
constexpr eAppErr kNoFlatBuffer = -200;

KsRectF TileInUnitSquare(HcTexture& texture) {
  return KsRectF::IntersectRect(texture.GetProjectionTile().TileRect, KsRectF(0, 0, 1, 1));
}

// The quad of tile R inside the destination that shows base tile B.
eAppErr FillQuad(HcVertexBuffer& buffer, HcTexture& texture, const KsRectF& destination, const KsRectF& base,
                 const KsRectF& tile, float z) {
  const float sx = destination.w / base.w;
  const float sy = destination.h / base.h;
  const KsRectF quad(destination.x + sx * (tile.x - base.x), destination.y + sy * (tile.y - base.y), sx * tile.w,
                     sy * tile.h);
  const KsPointF corners[4] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
  buffer.LockBuffer();
  for (uint32_t i = 0; i < 4; ++i) {
    const KsPointF imagePoint{tile.x + tile.w * corners[i].x, tile.y + tile.h * corners[i].y};
    KsPointF st;
    texture.ImagePointToTexture(imagePoint, &st);
    buffer.SetVertexXYZ(0, i, quad.x + quad.w * corners[i].x, quad.y + quad.h * corners[i].y, z);
    buffer.SetVertexTexCoords(0, i, st);
  }
  return buffer.UnlockBuffer();
}

}  // namespace

eAppErr FlatTextureSetDrawing::DrawTextureSetFlat(const KsRectF& destination, const KsRef<PanoRenderer>& renderer,
                                                  const KsRef<HcTextureSet>& textureSet, bool drawTileBoundary,
                                                  const KsColorF& color, Cache& cache, float z) {
  if (!renderer || !textureSet) return KS_TRACE_ERR(AppErr::kBadArgument, "DrawTextureSetFlat");
  const uint32_t count = textureSet->GetTextureCount();
  if (count == 0) return KS_TRACE_ERR(AppErr::kBadArgument, "DrawTextureSetFlat");
  KsRef<HcTexture> first = textureSet->GetTextureByIndex(0);
  if (!first) return KS_TRACE_ERR(AppErr::kGeneral, "DrawTextureSetFlat");
  const KsRectF base = TileInUnitSquare(*first);
  renderer->SetTexFunc(0);
  if (!cache.buffer) {
    cache.buffer = renderer->CreateVertexBuffer(4, 1);
    cache.filled = false;
    if (!cache.buffer) return KS_TRACE_ERR(kNoFlatBuffer, "DrawTextureSetFlat");
  }
  for (uint32_t i = 0; i < count; ++i) {
    KsRef<HcTexture> texture = textureSet->GetTextureByIndex(i);
    if (!texture) continue;
    const KsRectF tile = TileInUnitSquare(*texture);
    if (!cache.filled || !(tile == cache.tileRect) || !(destination == cache.destination) || z != cache.z) {
      FillQuad(*cache.buffer, *texture, destination, base, tile, z);
      cache.tileRect = tile;
      cache.destination = destination;
      cache.z = z;
      cache.filled = true;
    }
    renderer->SetColor(color.r, color.g, color.b, color.a);
    eAppErr err = texture->Activate();
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "DrawTextureSetFlat");
    err = cache.buffer->Draw();
    if (AppErrFailed(err)) {
      texture->Deactivate();
      return KS_TRACE_ERR(err, "DrawTextureSetFlat");
    }
    err = texture->Deactivate();
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "DrawTextureSetFlat");
    if (drawTileBoundary) {
      renderer->SetColor(1.0f, 1.0f, 1.0f, 1.0f);
      cache.buffer->SetDrawMode(HcVertexBuffer::kLineStrip);
      cache.buffer->Draw();
      cache.buffer->SetDrawMode(HcVertexBuffer::kTriangleStrip);
    }
  }
  return AppErr::kNoErr;
}
