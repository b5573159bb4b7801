#pragma once

#include <cstdint>
#include <vector>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "General/KsPoint.h"

// A mesh drawn as strips of the same number of vertices: each vertex has a
// position, a texture coordinate and the viewing direction it stands for
// (pan, tilt in degrees; kept for the view, never drawn).
class HcVertexBuffer : public KsObject {
  HC_CLASS_HEADER(HcVertexBuffer)
 public:
  struct VCoord {
    float x, y, z;
  };
  struct TCoord {
    float s, t;
  };
  struct PCoord {
    float pan, tilt;
  };
  static_assert(sizeof(VCoord) == 12 && sizeof(TCoord) == 8 && sizeof(PCoord) == 8);

  // kLines draws each strip's vertices in pairs, one separate segment a pair.
  enum DrawMode : int32_t { kTriangleStrip = 0, kTriangleFan = 1, kLineStrip = 2, kPolygon = 3, kLines = 4 };
  enum Usage : int32_t { kStatic = 0, kDynamic = 1, kStream = 2 };
  // Larger meshes are refused: no view needs more.
  static constexpr uint64_t kMaxVertices = 1u << 24;

  HcVertexBuffer();
  ~HcVertexBuffer() override;

  virtual eAppErr LockBuffer();
  virtual eAppErr UnlockBuffer();
  virtual eAppErr SetVertexPanTiltDeg(uint32_t strip, uint32_t vertex, const KsPointF& panTilt);
  virtual eAppErr SetVertexXYZ(uint32_t strip, uint32_t vertex, float x, float y, float z);
  virtual eAppErr GetVertexPanTiltDeg(uint32_t strip, uint32_t vertex, KsPointF* panTilt);
  virtual eAppErr SetVertexTexCoords(uint32_t strip, uint32_t vertex, const KsPointF& st);
  virtual eAppErr Draw() = 0;

  // -903 once allocated, -2 for 0.
  eAppErr SetVerticesPerStrip(uint32_t count);
  eAppErr SetStripCount(uint32_t count);
  // Sizes the arrays to GetMaxIndex() vertices; -2 for a mesh over kMaxVertices.
  eAppErr AllocateVertices();
  uint32_t GetMaxIndex() const { return m_verticesPerStrip * m_stripCount; }
  eAppErr SetUseTexCoords(bool use);
  bool GetUseTexCoords() const { return m_useTexCoords; }
  eAppErr SetDrawMode(int32_t mode);
  int32_t GetDrawMode() const { return m_drawMode; }
  uint32_t GetVerticesPerStrip() const { return m_verticesPerStrip; }
  uint32_t GetStripCount() const { return m_stripCount; }
  bool IsAllocated() const { return m_allocated; }

 protected:
  const std::vector<VCoord>& Positions() const { return m_positions; }
  const std::vector<TCoord>& TexCoords() const { return m_texCoords; }
  int32_t PositionUsage() const { return m_positionUsage; }
  int32_t TexCoordUsage() const { return m_texCoordUsage; }
  void SetPositionUsage(int32_t usage) { m_positionUsage = usage; }

 private:
  // The element index of (strip, vertex) when both lie inside the grid and
  // the index inside an array of arraySize; -1 otherwise.
  int64_t IndexOf(uint32_t strip, uint32_t vertex, size_t arraySize) const;

  uint32_t m_verticesPerStrip = 0;
  uint32_t m_stripCount = 0;
  std::vector<VCoord> m_positions;
  std::vector<TCoord> m_texCoords;
  std::vector<PCoord> m_directions;
  int32_t m_drawMode = kTriangleStrip;
  int32_t m_positionUsage = kStatic;
  int32_t m_texCoordUsage = kStatic;
  bool m_useTexCoords = true;
  bool m_allocated = false;
};
HC_CLASS_OBJECT(HcVertexBuffer, KsObject)
