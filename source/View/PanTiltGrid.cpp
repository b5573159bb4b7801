#include "View/PanTiltGrid.h"

#include <cmath>

#include "Renderer/HcTextureSet.h"
#include "Renderer/HcVertexBuffer.h"
#include "Renderer/PanoRenderer.h"
#include "Source/PanoSource.h"
#include "Source/SourceErr.h"
#include "View/HcView.h"

namespace {

// The renderer made no vertex buffer.
constexpr eAppErr kNoVertexBuffer = -200;

constexpr uint32_t kAllQuadrantBits = 15;

}  // namespace

PanTiltGrid::PanTiltGrid() = default;
PanTiltGrid::~PanTiltGrid() = default;

eAppErr PanTiltGrid::SetLOD(uint32_t lod) {
  if (lod < kMinLOD || lod > kMaxLOD) return KS_TRACE_ERR(AppErr::kBadArgument, "SetLOD");
  ClearTable();
  m_lod = lod;
  return AppErr::kNoErr;
}

void PanTiltGrid::ClearTable() {
  for (auto& buffer : m_buffers) buffer = nullptr;
  m_verticesPerStrip = 0;
  m_stripsPerQuadrant = 0;
  m_updateSeed = 0;
  m_textureSet = nullptr;
  m_projection = nullptr;
  m_tableBuilt = false;
}

KsRef<HcVertexBuffer> PanTiltGrid::GetQuadrantBuffer(uint32_t quadrant) const {
  return quadrant < kQuadrants ? m_buffers[quadrant] : KsRef<HcVertexBuffer>();
}

// Rows every division from the minimum tilt, the last one clamped to the
// maximum. Strips are one division wide; when the divisions don't split a
// quadrant evenly, its last strip takes the remainder, so no pan is left
// uncovered.
eAppErr PanTiltGrid::BuildTable(const KsRef<PanoRenderer>& renderer, float minTiltDeg, float maxTiltDeg) {
  if (!renderer || !std::isfinite(minTiltDeg) || !std::isfinite(maxTiltDeg) || !(maxTiltDeg > minTiltDeg)) {
    return KS_TRACE_ERR(AppErr::kBadArgument, "BuildTable");
  }
  const float degreesPerDivision = 360.0f / static_cast<float>(m_lod);
  const uint64_t rows = static_cast<uint64_t>(std::ceil((maxTiltDeg - minTiltDeg) / degreesPerDivision + 1.0f));
  const uint64_t verticesPerStrip = 2 * rows;
  const uint64_t stripsPerQuadrant = (static_cast<uint64_t>(m_lod) + kQuadrants - 1) / kQuadrants;
  if (verticesPerStrip * stripsPerQuadrant > HcVertexBuffer::kMaxVertices) {
    KS_TRACE(KsTrace::kError, "tableSize = %llu where strips = %llu, stripVertices = %llu, minTiltDeg = %f, "
             "maxTiltDeg = %f, nDegsPerDiv = %f", static_cast<unsigned long long>(verticesPerStrip * stripsPerQuadrant),
             static_cast<unsigned long long>(stripsPerQuadrant), static_cast<unsigned long long>(verticesPerStrip),
             minTiltDeg, maxTiltDeg, degreesPerDivision);
    return KS_TRACE_ERR(AppErr::kBadArgument, "BuildTable");
  }
  ClearTable();
  m_verticesPerStrip = static_cast<uint32_t>(verticesPerStrip);
  m_stripsPerQuadrant = static_cast<uint32_t>(stripsPerQuadrant);
  for (uint32_t q = 0; q < kQuadrants; ++q) {
    KsRef<HcVertexBuffer> buffer = renderer->CreateVertexBuffer(m_verticesPerStrip, m_stripsPerQuadrant);
    if (!buffer) return KS_TRACE_ERR(kNoVertexBuffer, "BuildTable");
    m_buffers[q] = buffer;
    buffer->SetDrawMode(HcVertexBuffer::kTriangleStrip);
    const eAppErr err = FillQuadrant(*buffer, q, degreesPerDivision, minTiltDeg, maxTiltDeg);
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "BuildTable");
  }
  m_minTilt = minTiltDeg;
  m_maxTilt = maxTiltDeg;
  m_tableBuilt = true;
  ++m_buildCount;
  return AppErr::kNoErr;
}

eAppErr PanTiltGrid::FillQuadrant(HcVertexBuffer& buffer, uint32_t quadrant, float degreesPerDivision,
                                  float minTilt, float maxTilt) {
  buffer.LockBuffer();
  const float quadrantStart = static_cast<float>(quadrant) * 90.0f;
  const uint32_t rows = m_verticesPerStrip / 2;
  for (uint32_t strip = 0; strip < m_stripsPerQuadrant; ++strip) {
    const float left = quadrantStart + static_cast<float>(strip) * degreesPerDivision;
    const float right = strip + 1 == m_stripsPerQuadrant ? quadrantStart + 90.0f : left + degreesPerDivision;
    for (uint32_t row = 0; row < rows; ++row) {
      const float tilt = std::fmin(minTilt + static_cast<float>(row) * degreesPerDivision, maxTilt);
      const float pans[2] = {left, right};
      for (uint32_t side = 0; side < 2; ++side) {
        Vertex vertex;
        PanTiltToVertex(pans[side], tilt, &vertex);
        const uint32_t index = 2 * row + side;
        eAppErr err = buffer.SetVertexXYZ(strip, index, vertex.x, vertex.y, vertex.z);
        if (AppErrFailed(err)) return err;
        err = buffer.SetVertexPanTiltDeg(strip, index, {vertex.pan, vertex.tilt});
        if (AppErrFailed(err)) return err;
      }
    }
  }
  return buffer.UnlockBuffer();
}

eAppErr PanTiltGrid::TextureQuadrant(HcVertexBuffer& buffer, HcTexture& texture) {
  buffer.LockBuffer();
  for (uint32_t strip = 0; strip < buffer.GetStripCount(); ++strip) {
    for (uint32_t index = 0; index < buffer.GetVerticesPerStrip(); ++index) {
      KsPointF direction;
      eAppErr err = buffer.GetVertexPanTiltDeg(strip, index, &direction);
      if (err != AppErr::kNoErr) {
        buffer.UnlockBuffer();
        return err;
      }
      KsPointF st;
      // A direction outside the image (1101) still gets the coordinates the
      // texture computed for it.
      if (!AppErrFailed(texture.PanTiltRadToTexture(direction, &st))) buffer.SetVertexTexCoords(strip, index, st);
    }
  }
  return buffer.UnlockBuffer();
}

eAppErr PanTiltGrid::UpdateTextureCoordinates(const KsRef<PanoRenderer>& renderer, uint32_t quadrantMask,
                                              const KsRef<HcTextureSet>& textureSet) {
  quadrantMask &= kAllQuadrantBits;
  if (!renderer || quadrantMask == 0 || !textureSet) {
    return KS_TRACE_ERR(AppErr::kBadArgument, "UpdateTextureCoordinates");
  }
  for (uint32_t q = 0; q < kQuadrants; ++q) {
    const uint32_t bit = 1u << q;
    if (!(quadrantMask & bit)) continue;
    KsRef<HcTexture> texture;
    const eAppErr err = textureSet->GetTextureForQuadrant(bit, texture);
    if (err == AppErr::kNoImageYet) return HcView::kNotDrawnYet;
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "UpdateTextureCoordinates");
    if (!texture) return KS_TRACE_ERR(AppErr::kGeneral, "UpdateTextureCoordinates");
    texture->SetProjection(textureSet->GetProjection());
    if (!m_buffers[q]) {
      KS_TRACE(KsTrace::kError, "Missing vertex buffer %i", static_cast<int>(q));
      return KS_TRACE_ERR(AppErr::kNotReady, "UpdateTextureCoordinates");
    }
    const eAppErr textured = TextureQuadrant(*m_buffers[q], *texture);
    if (AppErrFailed(textured)) return KS_TRACE_ERR(textured, "UpdateTextureCoordinates");
  }
  ++m_texturePassCount;
  return AppErr::kNoErr;
}

bool PanTiltGrid::CoordinatesAreCurrent(const KsRef<PanoProjection>& projection,
                                        const KsRef<HcTextureSet>& textureSet) {
  const KsBaseObject* rememberedProjection = m_projection ? m_projection->PeekTarget() : nullptr;
  const KsBaseObject* rememberedSet = m_textureSet ? m_textureSet->PeekTarget() : nullptr;
  return rememberedProjection == projection.Get() && rememberedSet == textureSet.Get() &&
         m_updateSeed == textureSet->GetUpdateSeed();
}

eAppErr PanTiltGrid::DrawGrid(uint32_t quadrantMask, const KsRef<PanoRenderer>& renderer,
                              const KsRef<PanoSource>& source, const KsRef<HcTextureSet>& textureSet) {
  if (!source || !renderer || !textureSet) return KS_TRACE_ERR(AppErr::kBadArgument, "DrawGrid");
  KsRef<PanoProjection> projection = source->GetProjection();
  if (!projection) return KS_TRACE_ERR(AppErr::kNotReady, "DrawGrid");
  float minTilt = 0.0f;
  float maxTilt = 0.0f;
  projection->GetTiltRange(&minTilt, &maxTilt);
  if (!m_tableBuilt || minTilt != m_minTilt || maxTilt != m_maxTilt) {
    const eAppErr built = BuildTable(renderer, minTilt, maxTilt);
    if (AppErrFailed(built)) return KS_TRACE_ERR(built, "DrawGrid");
  }
  if (!CoordinatesAreCurrent(projection, textureSet)) {
    // Only a complete pass is remembered: after a failure, or before the
    // set has an image, the next draw tries again.
    if (UpdateTextureCoordinates(renderer, kAllQuadrantBits, textureSet) == AppErr::kNoErr) {
      m_updateSeed = textureSet->GetUpdateSeed();
      m_textureSet = WeakRef::GetWeakRef(textureSet.Get());
      m_projection = WeakRef::GetWeakRef(projection.Get());
    }
  }
  uint32_t remaining = quadrantMask & kAllQuadrantBits;
  while (remaining != 0) {
    const uint32_t bit = remaining & (~remaining + 1);
    KsRef<HcTexture> texture;
    eAppErr err = textureSet->GetTextureForQuadrant(bit, texture);
    if (err == AppErr::kNoImageYet) return HcView::kNotDrawnYet;
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "DrawGrid");
    if (!texture) return KS_TRACE_ERR(AppErr::kBadArgument, "DrawGrid");
    const uint32_t covered = texture->GetProjectionTile().QuadrantMask & remaining;
    // A texture that doesn't cover the quadrant it was asked for would leave
    // the loop without progress.
    if (!(covered & bit)) return KS_TRACE_ERR(AppErr::kBadArgument, "DrawGrid");
    err = texture->Activate();
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "DrawGrid");
    for (uint32_t q = 0; q < kQuadrants; ++q) {
      if (!(covered & (1u << q))) continue;
      remaining &= ~(1u << q);
      DrawQuadrant(renderer, q);
    }
    err = texture->Deactivate();
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "DrawGrid");
  }
  return AppErr::kNoErr;
}

eAppErr PanTiltGrid::DrawQuadrant(const KsRef<PanoRenderer>&, uint32_t quadrant) {
  if (quadrant >= kQuadrants || !m_buffers[quadrant]) return AppErr::kNoErr;
  return m_buffers[quadrant]->Draw();
}
