#include "Renderer/HcVertexBuffer.h"

#include <new>

HcVertexBuffer::HcVertexBuffer() = default;
HcVertexBuffer::~HcVertexBuffer() = default;

eAppErr HcVertexBuffer::LockBuffer() { return AppErr::kNoErr; }
eAppErr HcVertexBuffer::UnlockBuffer() { return AppErr::kNoErr; }

eAppErr HcVertexBuffer::SetVerticesPerStrip(uint32_t count) {
  if (m_allocated) return KS_TRACE_ERR(AppErr::kNotReady, "SetVerticesPerStrip");
  if (count == 0) return KS_TRACE_ERR(AppErr::kBadArgument, "SetVerticesPerStrip");
  m_verticesPerStrip = count;
  return AppErr::kNoErr;
}

eAppErr HcVertexBuffer::SetStripCount(uint32_t count) {
  if (m_allocated) return KS_TRACE_ERR(AppErr::kNotReady, "SetStripCount");
  if (count == 0) return KS_TRACE_ERR(AppErr::kBadArgument, "SetStripCount");
  m_stripCount = count;
  return AppErr::kNoErr;
}

eAppErr HcVertexBuffer::AllocateVertices() {
  const uint64_t count = static_cast<uint64_t>(m_verticesPerStrip) * m_stripCount;
  if (count > kMaxVertices) return KS_TRACE_ERR(AppErr::kBadArgument, "AllocateVertices");
  try {
    m_positions.assign(count, VCoord{0.0f, 0.0f, 0.0f});
    m_directions.assign(count, PCoord{0.0f, 0.0f});
    if (m_useTexCoords) m_texCoords.assign(count, TCoord{0.0f, 0.0f});
  } catch (const std::bad_alloc&) {
    return KS_TRACE_ERR(AppErr::kOutOfMemory, "AllocateVertices");
  }
  m_allocated = true;
  return AppErr::kNoErr;
}

eAppErr HcVertexBuffer::SetUseTexCoords(bool use) {
  m_useTexCoords = use;
  return AppErr::kNoErr;
}

eAppErr HcVertexBuffer::SetDrawMode(int32_t mode) {
  m_drawMode = mode;
  return AppErr::kNoErr;
}

int64_t HcVertexBuffer::IndexOf(uint32_t strip, uint32_t vertex, size_t arraySize) const {
  // Each coordinate on its own: a vertex past the strip's end must not land
  // in the next strip.
  if (strip >= m_stripCount || vertex >= m_verticesPerStrip) return -1;
  const uint64_t index = static_cast<uint64_t>(strip) * m_verticesPerStrip + vertex;
  if (index >= GetMaxIndex() || index >= arraySize) return -1;
  return static_cast<int64_t>(index);
}

eAppErr HcVertexBuffer::SetVertexPanTiltDeg(uint32_t strip, uint32_t vertex, const KsPointF& panTilt) {
  const int64_t i = IndexOf(strip, vertex, m_directions.size());
  if (i < 0) return KS_TRACE_ERR(AppErr::kBadArgument, "SetVertexPanTiltDeg");
  m_directions[static_cast<size_t>(i)] = PCoord{panTilt.x, panTilt.y};
  return AppErr::kNoErr;
}

eAppErr HcVertexBuffer::SetVertexXYZ(uint32_t strip, uint32_t vertex, float x, float y, float z) {
  const int64_t i = IndexOf(strip, vertex, m_positions.size());
  if (i < 0) return KS_TRACE_ERR(AppErr::kBadArgument, "SetVertexXYZ");
  m_positions[static_cast<size_t>(i)] = VCoord{x, y, z};
  return AppErr::kNoErr;
}

eAppErr HcVertexBuffer::GetVertexPanTiltDeg(uint32_t strip, uint32_t vertex, KsPointF* panTilt) {
  const int64_t i = IndexOf(strip, vertex, m_directions.size());
  if (i < 0 || !panTilt) return KS_TRACE_ERR(AppErr::kBadArgument, "GetVertexPanTiltDeg");
  const PCoord& d = m_directions[static_cast<size_t>(i)];
  *panTilt = KsPointF{d.pan, d.tilt};
  return AppErr::kNoErr;
}

eAppErr HcVertexBuffer::SetVertexTexCoords(uint32_t strip, uint32_t vertex, const KsPointF& st) {
  const int64_t i = m_useTexCoords ? IndexOf(strip, vertex, m_texCoords.size()) : -1;
  if (i < 0) return KS_TRACE_ERR(AppErr::kBadArgument, "SetVertexTexCoords");
  m_texCoords[static_cast<size_t>(i)] = TCoord{st.x, st.y};
  return AppErr::kNoErr;
}
