#pragma once

#include <array>
#include <cstdint>

#include "General/WeakRef.h"
#include "View/PanoView.h"

class CartesianFuncProj;
class HcVertexBuffer;

// The whole surround flattened as the image its own cartesian-function
// projection would make (a cylindrical or equirectangular strip, say),
// scrolled sideways so that the looked-at pan sits in the middle; three
// copies side by side so that the strip wraps without a gap. Its mesh
// carries a direction and a point of the flat image at every vertex and is
// textured from the source texture of each pan quadrant.
//
// Points are in the frame's space with y upward from its lower edge.
class CartesianProjectionView : public PanoView {
  HC_CLASS_HEADER(CartesianProjectionView)
 public:
  enum : int32_t {
    kNativeAspectRatioId = 500,
    kProjectionId = 501,
    kUseSourceCroppingId = 502,
    kLODId = 503,
    kUseViewAspectRatioId = 504,
    kIgnoreLookDirectionId = 505,
  };
  static constexpr uint32_t kQuadrants = 4;
  // Strips per 90-degree quadrant.
  static constexpr uint32_t kMinLOD = 1;
  static constexpr uint32_t kMaxLOD = 900;

  CartesianProjectionView();
  ~CartesianProjectionView() override;

  KsRef<MouseResponder> CreateDefaultMouseResponder() override;
  KsRef<KeyboardResponder> CreateDefaultKeyboardResponder() override;
  eAppErr Draw(const KsRef<PanoRenderer>& renderer) override;
  eAppErr SetFrame(const KsRectF& frame) override;
  uint32_t GetNumberOfImages() override;
  // 0, or 1101 for a point outside the projection's image or not finite;
  // -903 without a projection.
  eAppErr DirectionAtPointDeg(const KsPointF& point, float* pan, float* tilt) override;
  // Copy index 0, 1 or 2 lies a turn left, in place or a turn right (a
  // negative one in place). 0; 1102 for a direction outside the image (the
  // point written); -2 for an index above 2; -903 without a projection.
  eAppErr PointAtDirectionDeg(float pan, float tilt, KsPointF* point, int32_t image) override;

  eAppErr UpdateSourceCropping();
  eAppErr CreateModel(const KsRef<PanoRenderer>& renderer);
  eAppErr UpdateVertices(const KsRef<PanoRenderer>& renderer, const KsRef<HcTextureSet>& textureSet);
  eAppErr DrawVertices(const KsRef<HcTextureSet>& textureSet, uint32_t quadrantMask,
                       const KsRef<PanoRenderer>& renderer);

  float GetNativeAspectRatio();
  KsRef<CartesianFuncProj> GetProjection() const;
  eAppErr SetProjection(const KsRef<CartesianFuncProj>& projection);
  bool GetUseSourceCropping() const { return m_useSourceCropping; }
  eAppErr SetUseSourceCropping(bool use);
  uint32_t GetLOD() const { return m_lod; }
  // -2 outside kMinLOD..kMaxLOD.
  eAppErr SetLOD(uint32_t lod);
  bool GetUseViewAspectRatio() const { return m_useViewAspectRatio; }
  eAppErr SetUseViewAspectRatio(bool use);
  bool GetIgnoreLookDirection() const { return m_ignoreLookDirection; }
  eAppErr SetIgnoreLookDirection(bool ignore);
  float GetPanScale() const { return m_panScale; }
  // Mesh builds and texture-coordinate passes so far.
  uint32_t GetBuildCount() const { return m_buildCount; }
  uint32_t GetTexturePassCount() const { return m_texturePassCount; }

 private:
  // The offset of the picture that puts the drawn pan in the middle, in
  // image widths; 0 when the look direction is ignored.
  float ScrollOffset();

  bool m_useViewAspectRatio = true;
  bool m_ignoreLookDirection = false;
  KsRef<CartesianFuncProj> m_projection;
  uint64_t m_modelStamp = 0;
  uint32_t m_lod = 30;
  std::array<KsRef<HcVertexBuffer>, kQuadrants> m_buffers;
  WeakRef::Ref m_lastTextureSet;
  float m_panScale = 1.0f / 360.0f;
  uint64_t m_textureStamp = 0;
  bool m_useSourceCropping = true;
  uint32_t m_buildCount = 0;
  uint32_t m_texturePassCount = 0;
};
HC_CLASS_OBJECT(CartesianProjectionView, PanoView)
