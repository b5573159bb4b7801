#include "View/HcTexViewer.h"

#include <cmath>

#include "PWFormat.h"
#include "Renderer/HcTexture.h"
#include "Renderer/HcTextureSet.h"
#include "Renderer/HcVertexBuffer.h"
#include "Renderer/PanoRenderer.h"

namespace {

// Outline the tile's left edge, diagonal and right edge, in this order.
constexpr KsPointF kTileCorners[4] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
// The renderer's depth-function code for "less or equal".
constexpr int32_t kDepthLessOrEqual = 2;

}  // namespace

HcTexViewer::HcTexViewer() { SetDrawTileBoundary(true); }
HcTexViewer::~HcTexViewer() = default;

eAppErr HcTexViewer::SetWhichTexture(uint32_t index) {
  DidChangeCaller change(this, kWhichTextureId);
  m_whichTexture = index;
  return AppErr::kNoErr;
}

eAppErr HcTexViewer::ActualDraw(const KsRectF& r, const KsRef<PanoRenderer>& renderer,
                                const KsRef<HcTextureSet>& textureSet, float z, float opacity) {
  if (!renderer || !textureSet || m_whichTexture >= GetTextureCount()) {
    return KS_TRACE_ERR(AppErr::kBadArgument, "ActualDraw");
  }
  KsRef<HcTexture> texture = textureSet->GetTextureByIndex(m_whichTexture);
  if (!texture) return KS_TRACE_ERR(AppErr::kGeneral, "ActualDraw");
  KsRef<HcVertexBuffer> quad = renderer->CreateVertexBuffer(4, 1);
  if (!quad) return KS_TRACE_ERR(AppErr::kGeneral, "ActualDraw");
  KsPointF range;
  eAppErr err = texture->GetFullCoordRange(&range);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "ActualDraw");

  quad->SetDrawMode(HcVertexBuffer::kTriangleStrip);
  quad->LockBuffer();
  for (uint32_t i = 0; i < 4; ++i) {
    const KsPointF corner = kTileCorners[i];
    quad->SetVertexXYZ(0, i, r.x + r.w * corner.x, r.y + r.h * corner.y, z);
    quad->SetVertexTexCoords(0, i, KsPointF{range.x * corner.x, range.y * corner.y});
  }
  quad->UnlockBuffer();
  renderer->SetColor(1.0f, 1.0f, 1.0f, opacity);
  err = texture->Activate();
  if (!AppErrFailed(err)) {
    err = quad->Draw();
    const eAppErr deactivated = texture->Deactivate();
    if (!AppErrFailed(err)) err = deactivated;
  }
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "ActualDraw");

  const PWStringRef label = PWStringCreateWithFormat("Tex #%i", static_cast<int>(m_whichTexture));
  eAppErr result = renderer->RenderText(r.x + r.w * 0.5f, r.y + r.h * 0.5f, z, label);

  // The texture's coordinate range scales image points onto the quad; a
  // texture without one has no tile to outline.
  const bool scalable = std::isfinite(range.x) && std::isfinite(range.y) && range.x != 0.0f && range.y != 0.0f;
  if (GetDrawTileBoundary() && scalable) {
    const KsRectF tile = texture->GetProjectionTile().TileRect;
    const float sx = r.w / range.x;
    const float sy = r.h / range.y;
    renderer->SetColor(0.0f, 1.0f, 0.0f, 1.0f);
    // The outline lies at the quad's own depth.
    renderer->SetDepthFunc(kDepthLessOrEqual);
    quad->SetDrawMode(HcVertexBuffer::kLineStrip);
    quad->LockBuffer();
    for (uint32_t i = 0; i < 4; ++i) {
      const KsPointF imagePoint{tile.x + tile.w * kTileCorners[i].x, tile.y + tile.h * kTileCorners[i].y};
      KsPointF uv;
      texture->ImagePointToTexture(imagePoint, &uv);
      quad->SetVertexXYZ(0, i, r.x + sx * uv.x, r.y + sy * uv.y, z);
    }
    quad->UnlockBuffer();
    result = quad->Draw();
  }
  if (AppErrFailed(result)) return KS_TRACE_ERR(result, "ActualDraw");
  return result;
}
