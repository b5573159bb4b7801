#pragma once

#include <array>
#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "General/WeakRef.h"

class PanoRenderer;
class PanoSource;
class HcTextureSet;
class HcVertexBuffer;
class HcTexture;
class PanoProjection;

// The textured mesh through which the perspective, cylinder and sphere
// views draw a source: strips over the viewing directions, pan 0 to 360 and
// tilt over the source projection's range, one vertex buffer per pan
// quadrant (0: pan 0-90, 1: 90-180, 2: 180-270, 3: 270-360). Each vertex
// keeps its direction (radians) beside its position; the quadrant's texture
// turns the directions into texture coordinates. A subclass only says where
// a direction's vertex lies (PanTiltToVertex).
//
// The mesh is built when the tilt range or the level of detail changes, and
// the texture coordinates are recomputed when the projection, the texture
// set or the set's update seed changes; a steady frame does neither.
class PanTiltGrid : public KsObject {
  HC_CLASS_HEADER(PanTiltGrid)
 public:
  enum : int32_t { kLODId = 200 };
  // Pan divisions over the circle.
  static constexpr uint32_t kMinLOD = 4;
  static constexpr uint32_t kMaxLOD = 3600;
  static constexpr uint32_t kQuadrants = 4;

  struct Vertex {
    float s = 0.0f, t = 0.0f;
    float x = 0.0f, y = 0.0f, z = 0.0f;
    float pan = 0.0f, tilt = 0.0f;  // radians
  };

  PanTiltGrid();
  ~PanTiltGrid() override;

  // Draws the quadrants of the mask (bits 1, 2, 4, 8); the view has set the
  // matrices and the colour. 3000 while the set has no image yet.
  virtual eAppErr DrawGrid(uint32_t quadrantMask, const KsRef<PanoRenderer>& renderer,
                           const KsRef<PanoSource>& source, const KsRef<HcTextureSet>& textureSet);
  // A missing buffer draws nothing and answers 0.
  virtual eAppErr DrawQuadrant(const KsRef<PanoRenderer>& renderer, uint32_t quadrant);
  // The vertex of a direction given in degrees, texture coordinates zero.
  virtual void PanTiltToVertex(float panDeg, float tiltDeg, Vertex* vertex) = 0;

  uint32_t GetLOD() const { return m_lod; }
  // -2 outside kMinLOD..kMaxLOD; otherwise clears the table.
  eAppErr SetLOD(uint32_t lod);

  // Rebuilds the four buffers for the tilt range; -2 for a range that is not
  // finite or empty, -200 when the renderer makes no buffer.
  eAppErr BuildTable(const KsRef<PanoRenderer>& renderer, float minTiltDeg, float maxTiltDeg);
  // 0 when every requested quadrant got its coordinates, 3000 when the set
  // has no image yet (nothing done), else the failure.
  eAppErr UpdateTextureCoordinates(const KsRef<PanoRenderer>& renderer, uint32_t quadrantMask,
                                   const KsRef<HcTextureSet>& textureSet);
  // Forgets the mesh and the texture coordinates.
  void ClearTable();

  uint32_t GetStripsPerQuadrant() const { return m_stripsPerQuadrant; }
  uint32_t GetVerticesPerStrip() const { return m_verticesPerStrip; }
  KsRef<HcVertexBuffer> GetQuadrantBuffer(uint32_t quadrant) const;
  // Mesh builds and texture-coordinate passes so far.
  uint32_t GetBuildCount() const { return m_buildCount; }
  uint32_t GetTexturePassCount() const { return m_texturePassCount; }

 private:
  eAppErr FillQuadrant(HcVertexBuffer& buffer, uint32_t quadrant, float degreesPerDivision, float minTilt,
                       float maxTilt);
  eAppErr TextureQuadrant(HcVertexBuffer& buffer, HcTexture& texture);
  bool CoordinatesAreCurrent(const KsRef<PanoProjection>& projection, const KsRef<HcTextureSet>& textureSet);

  uint32_t m_lod = 120;
  uint64_t m_updateSeed = 0;
  WeakRef::Ref m_projection;
  WeakRef::Ref m_textureSet;
  uint32_t m_stripsPerQuadrant = 0;
  uint32_t m_verticesPerStrip = 0;
  float m_minTilt = 0.0f;
  float m_maxTilt = 0.0f;
  bool m_tableBuilt = false;
  std::array<KsRef<HcVertexBuffer>, kQuadrants> m_buffers;
  uint32_t m_buildCount = 0;
  uint32_t m_texturePassCount = 0;
};
HC_CLASS_OBJECT(PanTiltGrid, KsObject)
