#include "OverlayTestSupport.h"

#include <algorithm>
#include <cstdlib>

bool OverlayScene::Make(int width, int height) {
  if (!drawing.Make(width, height)) return false;
  renderer = KsMakeRef<RecordingRenderer>();
  renderer->SetGlContext(drawing.context.get());
  renderer->SetGlPixelFormat(drawing.format.get());
  renderer->SetDrawableRect(0, 0, width, height);
  drawing.renderer = renderer;
  return true;
}

std::vector<uint8_t> OverlayScene::ReadRGBA() {
  const std::vector<uint8_t> argb = drawing.ReadARGB();
  std::vector<uint8_t> rgba(argb.size());
  for (size_t i = 0; i < argb.size(); i += 4) {
    rgba[i] = argb[i + 1];
    rgba[i + 1] = argb[i + 2];
    rgba[i + 2] = argb[i + 3];
    rgba[i + 3] = argb[i];
  }
  return rgba;
}

namespace {

int Difference(const uint8_t* pixel, const uint8_t background[3]) {
  return std::abs(pixel[0] - background[0]) + std::abs(pixel[1] - background[1]) + std::abs(pixel[2] - background[2]);
}

}  // namespace

PixelBox InkBox(const std::vector<uint8_t>& rgba, int width, int height, const uint8_t background[3]) {
  PixelBox box{width, height, 0, 0};
  bool any = false;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (Difference(&rgba[(static_cast<size_t>(y) * width + x) * 4], background) > 24) {
        box.x0 = std::min(box.x0, x);
        box.y0 = std::min(box.y0, y);
        box.x1 = std::max(box.x1, x + 1);
        box.y1 = std::max(box.y1, y + 1);
        any = true;
      }
    }
  }
  return any ? box : PixelBox{};
}

double InkAmount(const std::vector<uint8_t>& rgba, const uint8_t background[3]) {
  double sum = 0;
  for (size_t i = 0; i < rgba.size(); i += 4) sum += Difference(&rgba[i], background);
  return sum;
}

eAppErr StubTexture::ImagePointToTexture(const KsPointF& p, KsPointF* out) {
  const KsRectF& tile = GetProjectionTile().TileRect;
  out->x = (p.x - tile.x) / tile.w * range.x;
  out->y = (p.y - tile.y) / tile.h * range.y;
  return 0;
}

KsRef<StubTexture> StubTextureSet::Add(const KsRectF& tile) {
  auto texture = KsMakeRef<StubTexture>();
  PanoProjection::ProjectionTile projectionTile{};
  projectionTile.QuadrantMask = 15;
  projectionTile.TileRect = tile;
  texture->SetProjectionTile(projectionTile);
  textures.push_back(texture);
  return texture;
}
