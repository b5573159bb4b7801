#include "Renderer/BitmapTexture.h"

#include <algorithm>
#include <cmath>

#include "Source/BufferSource.h"
#include "Source/SourceErr.h"

namespace {

int32_t NextPowerOfTwo(int32_t v) {
  int32_t p = 1;
  while (p < v && p < (1 << 30)) p <<= 1;
  return p;
}

using Tile = PanoProjection::ProjectionTile;

}  // namespace

BitmapTexture::BitmapTexture() = default;
BitmapTexture::~BitmapTexture() = default;

eAppErr BitmapTexture::SetUseAlpha(bool useAlpha) {
  if (m_textureWidth != 0 || m_textureHeight != 0) return KS_TRACE_ERR(AppErr::kNotReady, "SetUseAlpha");
  m_useAlpha = useAlpha;
  return AppErr::kNoErr;
}

eAppErr BitmapTexture::GetCanCreate() {
  const eAppErr err = Initialize();
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "GetCanCreate");
  return err;
}

eAppErr BitmapTexture::Initialize() {
  if (m_imageWidth <= 0 || m_imageHeight <= 0) return KS_TRACE_ERR(AppErr::kBadArgument, "Initialize");
  const Tile& tile = GetProjectionTile();
  const float fx = tile.TileRect.x * static_cast<float>(m_imageWidth);
  const float fy = tile.TileRect.y * static_cast<float>(m_imageHeight);
  const float fw = tile.TileRect.w * static_cast<float>(m_imageWidth);
  const float fh = tile.TileRect.h * static_cast<float>(m_imageHeight);
  if (!std::isfinite(fx) || !std::isfinite(fy) || !std::isfinite(fw) || !std::isfinite(fh)) {
    return KS_TRACE_ERR(AppErr::kBadArgument, "Initialize");
  }
  KsRect<int32_t> r;
  r.x = static_cast<int32_t>(std::floor(std::clamp(fx, -1e9f, 1e9f)));
  r.y = static_cast<int32_t>(std::floor(std::clamp(fy, -1e9f, 1e9f)));
  r.w = static_cast<int32_t>(std::ceil(std::clamp(fw + (fx - static_cast<float>(r.x)), -1e9f, 1e9f)));
  r.h = static_cast<int32_t>(std::ceil(std::clamp(fh + (fy - static_cast<float>(r.y)), -1e9f, 1e9f)));

  m_overlap = {tile.EdgeMinY == PanoProjection::kEdgeNeighbourTile, tile.EdgeMaxX == PanoProjection::kEdgeNeighbourTile,
               tile.EdgeMinX == PanoProjection::kEdgeNeighbourTile, tile.EdgeMaxY == PanoProjection::kEdgeNeighbourTile};
  if (m_overlap[kLeft]) --r.x, ++r.w;
  if (m_overlap[kRight]) ++r.w;
  if (m_overlap[kTop]) --r.y, ++r.h;
  if (m_overlap[kBottom]) ++r.h;

  r = KsRect<int32_t>::IntersectRect(r, KsRect<int32_t>(0, 0, m_imageWidth, m_imageHeight));
  const bool lumaChroma = m_pixelFormat && m_pixelFormat->IsYUV();
  if (lumaChroma) {
    // Pairs of pixels share their chroma: keep them whole.
    if (r.x % 2 != 0) --r.x, ++r.w;
    if (r.y % 2 != 0) --r.y, ++r.h;
    if (r.w % 2 != 0) ++r.w;
    if (r.h % 2 != 0) ++r.h;
    r = KsRect<int32_t>::IntersectRect(r, KsRect<int32_t>(0, 0, m_imageWidth, m_imageHeight));
  }
  if (r.w <= 0 || r.h <= 0) return KS_TRACE_ERR(AppErr::kBadArgument, "Initialize");
  m_used = r;

  const bool exact = GetCanUseExactSize(r.Size());
  const bool wrapsH = tile.EdgeMinX == PanoProjection::kEdgeWraps && tile.EdgeMaxX == PanoProjection::kEdgeWraps;
  const bool wrapsV = tile.EdgeMinY == PanoProjection::kEdgeWraps && tile.EdgeMaxY == PanoProjection::kEdgeWraps;
  m_wrapH = wrapsH && exact;
  m_wrapV = wrapsV && exact;

  m_border = lumaChroma ? 2 : 1;
  m_borderAdded = {tile.EdgeMinY == PanoProjection::kEdgeWraps && !m_wrapV,
                   tile.EdgeMaxX == PanoProjection::kEdgeWraps && !m_wrapH,
                   tile.EdgeMinX == PanoProjection::kEdgeWraps && !m_wrapH,
                   tile.EdgeMaxY == PanoProjection::kEdgeWraps && !m_wrapV};
  const int32_t left = m_borderAdded[kLeft] ? m_border : 0;
  const int32_t top = m_borderAdded[kTop] ? m_border : 0;
  int32_t width = r.w + left + (m_borderAdded[kRight] ? m_border : 0);
  int32_t height = r.h + top + (m_borderAdded[kBottom] ? m_border : 0);
  if (width != r.w || height != r.h) m_wrapH = m_wrapV = false;
  m_placement = KsRect<int32_t>(left, top, r.w, r.h);

  if (!GetCanAllocate({width, height})) {
    width = NextPowerOfTwo(width);
    height = NextPowerOfTwo(height);
    if (!GetCanAllocate({width, height})) {
      m_textureWidth = m_textureHeight = 0;
      return KS_TRACE_ERR(AppErr::kNoTextureOfSize, "Initialize");
    }
  }
  m_textureWidth = width;
  m_textureHeight = height;
  return AppErr::kNoErr;
}

eAppErr BitmapTexture::ImagePointToTexture(const KsPointF& imagePoint, KsPointF* textureCoord) {
  if (!textureCoord) return KS_TRACE_ERR(AppErr::kBadArgument, "ImagePointToTexture");
  const KsPointF texel{imagePoint.x * static_cast<float>(m_imageWidth) - static_cast<float>(m_used.x) +
                           static_cast<float>(m_placement.x),
                       imagePoint.y * static_cast<float>(m_imageHeight) - static_cast<float>(m_used.y) +
                           static_cast<float>(m_placement.y)};
  *textureCoord = TexelToTextureCoord(texel);
  return AppErr::kNoErr;
}

eAppErr BitmapTexture::UpdateImage(const KsRef<BufferSource>& source) {
  if (!source) return KS_TRACE_ERR(AppErr::kBadArgument, "UpdateImage");
  const uint8_t* base = source->GetBaseAddress();
  const int32_t rowBytes = source->GetRowBytes();
  if (!base || rowBytes <= 0) return KS_TRACE_ERR(AppErr::kNotReady, "UpdateImage");
  // The layout was made for one image size and format: never read a buffer
  // that has since become smaller or changed its pixels' shape.
  if (source->GetPixelFormatInfo() != m_pixelFormat || !m_pixelFormat ||
      source->GetWidth() != m_imageWidth || source->GetHeight() != m_imageHeight ||
      static_cast<int64_t>(rowBytes) < static_cast<int64_t>(m_imageWidth) * m_pixelFormat->BytesPerPixel()) {
    return KS_TRACE_ERR(AppErr::kNotReady, "UpdateImage");
  }
  eAppErr err = PrepareUpload(static_cast<uint32_t>(rowBytes));
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "UpdateImage");
  err = UploadRect(base, static_cast<uint32_t>(rowBytes), m_used.Origin(), m_placement);
  if (!AppErrFailed(err)) err = UploadBorders(base, static_cast<uint32_t>(rowBytes));
  EndUpload();
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "UpdateImage");
  m_imageStamp = source->GetImageStamp();
  return AppErr::kNoErr;
}

eAppErr BitmapTexture::UploadBorders(const uint8_t* base, uint32_t rowBytes) {
  const int32_t b = std::min({m_border, m_imageWidth, m_imageHeight});
  const KsRect<int32_t>& u = m_used;
  const KsRect<int32_t>& p = m_placement;
  struct Strip {
    Side side;
    KsPoint<int32_t> from;
    KsRect<int32_t> to;
  };
  // A wrapping edge continues at the image's opposite edge: for a tile that
  // spans the whole image that is the tile's own opposite side, for one of
  // several tiles it is not.
  const Strip strips[] = {
      {kTop, {u.x, m_imageHeight - b}, {p.x, p.y - b, u.w, b}},
      {kBottom, {u.x, 0}, {p.x, p.y + u.h, u.w, b}},
      {kLeft, {m_imageWidth - b, u.y}, {p.x - b, p.y, b, u.h}},
      {kRight, {0, u.y}, {p.x + u.w, p.y, b, u.h}},
  };
  for (const Strip& strip : strips) {
    if (!m_borderAdded[strip.side]) continue;
    const eAppErr err = UploadRect(base, rowBytes, strip.from, strip.to);
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "UploadBorders");
  }
  return AppErr::kNoErr;
}
