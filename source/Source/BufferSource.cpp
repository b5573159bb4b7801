#include "Source/BufferSource.h"

#include <new>

#include "Renderer/BitmapTextureSet.h"
#include "Renderer/PanoRenderer.h"
#include "Source/SourceErr.h"

BufferSource::BufferSource() = default;

BufferSource::~BufferSource() {
  m_buffer.reset();
  m_lastTextureSet = nullptr;
}

eAppErr BufferSource::DoUpdate() { return AppErr::kNoErr; }

eAppErr BufferSource::Initialize(int32_t width, int32_t height) { return CreateBuffer(width, height); }

eAppErr BufferSource::CreateBuffer(int32_t width, int32_t height) {
  DisposeBuffer();
  SetDimensions(width, height);
  const PixelFormatInfo* info = GetPixelFormatInfo();
  const uint64_t bytesPerPixel = info ? info->BytesPerPixel() : 0;
  if (bytesPerPixel == 0 || width <= 0 || height <= 0) return KS_TRACE_ERR(AppErr::kBadArgument, "CreateBuffer");
  const uint64_t rowBytes = static_cast<uint64_t>(width) * bytesPerPixel;
  const uint64_t size = rowBytes * static_cast<uint64_t>(height);
  if (size > kMaxBufferBytes || rowBytes > static_cast<uint64_t>(INT32_MAX)) {
    return KS_TRACE_ERR(AppErr::kOutOfMemory, "CreateBuffer");
  }
  m_buffer.reset(new (std::nothrow) uint8_t[size]());
  if (!m_buffer) return KS_TRACE_ERR(AppErr::kOutOfMemory, "CreateBuffer");
  m_rowBytes = static_cast<int32_t>(rowBytes);
  m_bufferSize = size;
  return AppErr::kNoErr;
}

void BufferSource::DisposeBuffer() {
  m_buffer.reset();
  m_rowBytes = 0;
  m_bufferSize = 0;
}

void BufferSource::FrameReady() {
  SetDataFlag(true);
  IncrementFrameCount();
  MarkRendererDirty();
}

KsRef<BitmapTextureSet> BufferSource::GetLastTextureSet() const {
  return m_lastTextureSet ? m_lastTextureSet->GetTargetAs<BitmapTextureSet>() : KsRef<BitmapTextureSet>();
}

float BufferSource::GetAspectScale(int32_t width, int32_t height, int32_t newWidth, int32_t newHeight) {
  const float newAspect = static_cast<float>(newWidth) / static_cast<float>(newHeight);
  const float aspect = static_cast<float>(width) / static_cast<float>(height);
  return newAspect / aspect;
}

bool BufferSource::CanReuse(const KsRef<BitmapTextureSet>& set, const KsRef<PanoRenderer>& renderer,
                            const KsRef<PanoProjection>& projection) const {
  if (!set || set->GetProjection() != projection) return false;
  if (set->GetUpdateSeed() != projection->GetUpdateSeed().AsStamp()) return false;
  // A set made for another renderer holds that renderer's textures.
  if (set->GetRenderer() != renderer) return false;
  BufferSource* self = const_cast<BufferSource*>(this);
  return set->GetImageWidth() == self->GetWidth() && set->GetImageHeight() == self->GetHeight() &&
         set->GetPixelFormat() == self->GetPixelFormatInfo();
}

eAppErr BufferSource::TextureSetForRenderer(const KsRef<PanoRenderer>& renderer, KsRef<HcTextureSet>& set,
                                            uint32_t quadrantMask) {
  if (!renderer) return KS_TRACE_ERR(AppErr::kBadArgument, "TextureSetForRenderer");
  KsRef<BitmapTextureSet> candidate = set.DynamicCast<BitmapTextureSet>();
  if (!candidate) candidate = GetLastTextureSet();
  KsRef<PanoProjection> projection = GetProjection();
  if (!projection) return KS_TRACE_ERR(AppErr::kNotReady, "TextureSetForRenderer");
  KsRef<HcTextureSet> chosen = candidate;
  if (!CanReuse(candidate, renderer, projection)) {
    const eAppErr err = CreateTextureSet(renderer, chosen, GetMapFullFrame());
    if (AppErrFailed(err)) {
      set = nullptr;
      return KS_TRACE_ERR(err, "TextureSetForRenderer");
    }
  }
  set = nullptr;
  KsRef<BitmapTextureSet> bitmapSet = chosen.DynamicCast<BitmapTextureSet>();
  if (!bitmapSet) return KS_TRACE_ERR(AppErr::kGeneral, "TextureSetForRenderer");

  eAppErr result = AppErr::kNoErr;
  const uint64_t stamp = GetImageStamp();
  static constexpr uint32_t kQuadrants[] = {PanoProjection::kQuadrant1, PanoProjection::kQuadrant2,
                                            PanoProjection::kQuadrant3, PanoProjection::kQuadrant4};
  for (uint32_t bit : kQuadrants) {
    if (!(quadrantMask & bit)) continue;
    KsRef<HcTexture> texture;
    result = bitmapSet->GetTextureForQuadrant(bit, texture);
    if (AppErrFailed(result)) return KS_TRACE_ERR(result, "TextureSetForRenderer");
    KsRef<BitmapTexture> bitmap = texture.DynamicCast<BitmapTexture>();
    if (bitmap && bitmap->GetImageStamp() != stamp) {
      result = bitmap->UpdateImage(KsRef<BufferSource>(this));
      if (AppErrFailed(result)) return KS_TRACE_ERR(result, "TextureSetForRenderer");
    }
  }
  set = bitmapSet;
  m_lastTextureSet = WeakRef::GetWeakRef(bitmapSet.Get());
  return result;
}

eAppErr BufferSource::CreateTextureSet(const KsRef<PanoRenderer>& renderer, KsRef<HcTextureSet>& set,
                                       bool extendTiles) {
  KsRef<PanoProjection> projection = GetProjection();
  if (!renderer || !projection) return KS_TRACE_ERR(AppErr::kBadArgument, "CreateTextureSet");
  const uint32_t count = projection->GetTilingCount();
  KsRef<BitmapTextureSet> best;
  float bestWaste = 0.0f;
  for (uint32_t strategy = 0; strategy < count; ++strategy) {
    KsRef<BitmapTextureSet> candidate = renderer->CreateBitmapTextureSet();
    if (!candidate) continue;
    candidate->SetProjection(projection);
    candidate->SetStrategy(strategy);
    candidate->SetExtendTiles(extendTiles);
    candidate->SetImageWidth(GetWidth());
    candidate->SetImageHeight(GetHeight());
    candidate->SetUseAlpha(GetHasAlpha());
    candidate->SetPixelFormat(GetPixelFormatInfo());
    if (AppErrFailed(candidate->GetCanCreate())) continue;
    const float waste = candidate->GetWastedTexels();
    if (!best || waste < bestWaste) {
      best = candidate;
      bestWaste = waste;
    }
  }
  if (!best) {
    KS_TRACE(KsTrace::kError, "No texture mapping possible (source dims=%ix%i)", GetWidth(), GetHeight());
    return KS_TRACE_ERR(AppErr::kNoTextureOfSize, "CreateTextureSet");
  }
  KsRef<HcTextureSet> previous = set;
  set = best;
  const eAppErr err = best->CreateTextures(previous);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "CreateTextureSet");
  return AppErr::kNoErr;
}

eAppErr BufferSource::GetDataAtPoint(int32_t x, int32_t y, uint32_t component, float* value) {
  if (!GetHasData()) return KS_TRACE_ERR(AppErr::kNotReady, "GetDataAtPoint");
  if (!value) return KS_TRACE_ERR(AppErr::kBadArgument, "GetDataAtPoint");
  const PixelFormatInfo* info = FindPixelFormatInfo(GetPixelFormat());
  if (!info) return KS_TRACE_ERR(AppErr::kBadArgument, "GetDataAtPoint");
  // Nothing outside the buffer is read.
  if (!m_buffer || x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight()) {
    return KS_TRACE_ERR(AppErr::kBadArgument, "GetDataAtPoint");
  }
  uint32_t position = 0;
  while (position < info->componentCount && position < 4 && info->components[position] != component) ++position;
  if (position >= info->componentCount || position >= 4) return KS_TRACE_ERR(AppErr::kBadArgument, "GetDataAtPoint");
  const uint64_t offset = static_cast<uint64_t>(y) * static_cast<uint64_t>(m_rowBytes) +
                          static_cast<uint64_t>(x) * info->BytesPerPixel() + position * info->bytesPerComponent;
  if (offset + info->bytesPerComponent > m_bufferSize) return KS_TRACE_ERR(AppErr::kBadArgument, "GetDataAtPoint");
  const uint8_t* at = m_buffer.get() + offset;
  switch (info->bytesPerComponent) {
    case 1: *value = static_cast<float>(at[0]) / 255.0f; return AppErr::kNoErr;
    case 2: *value = static_cast<float>(at[0] << 8 | at[1]) / 65535.0f; return AppErr::kNoErr;
    default: *value = 0.0f; return KS_TRACE_ERR(AppErr::kBadArgument, "GetDataAtPoint");
  }
}

eAppErr BufferSource::SetForceWidth(int32_t width) {
  if (m_buffer) return KS_TRACE_ERR(AppErr::kNotReady, "SetForceWidth");
  m_forceWidth = width;
  return AppErr::kNoErr;
}

eAppErr BufferSource::SetForceHeight(int32_t height) {
  if (m_buffer) return KS_TRACE_ERR(AppErr::kNotReady, "SetForceHeight");
  m_forceHeight = height;
  return AppErr::kNoErr;
}

eAppErr BufferSource::SetUseForcedDimensions(bool use) {
  if (m_buffer) return KS_TRACE_ERR(AppErr::kNotReady, "SetUseForcedDimensions");
  m_useForcedDimensions = use;
  return AppErr::kNoErr;
}
