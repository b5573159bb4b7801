#pragma once

#include <cstdint>
#include <vector>

#include "General/KsPoint.h"
#include "General/WeakRef.h"
#include "View/HcPolygons.h"

// Outlines, in the vector view's context view, the area another panoramic
// view shows: points along the outlined view's frame edge become directions
// of that view, and the directions points of the context view. Directions
// are recomputed when the outlined view's look changes; vertices when the
// context view's look, the context view itself or the vector view's frame
// change. Neither view is kept alive by the outliner.
class ViewOutliner : public HcPolygons {
  HC_CLASS_HEADER(ViewOutliner)
 public:
  enum : int32_t { kOutlinedViewId = 400, kPointsPerSideId = 401 };
  static constexpr uint32_t kMinPointsPerSide = 1;
  static constexpr uint32_t kMaxPointsPerSide = 1000;
  // Vertex-buffer draw mode of the outline.
  static constexpr int32_t kPolygonMode = 3;

  ViewOutliner();
  ~ViewOutliner() override;

  // Null (nothing drawn) without an outlined view, a context view, or an
  // outlined frame with an area to walk along.
  KsRef<HcVertexBuffer> MakeVertexBuffer(const KsRect<int32_t>& frame, const KsRef<PanoView>& contextView,
                                         const KsRef<PanoRenderer>& renderer, float z) override;

  KsRef<PanoView> GetOutlinedView() const;
  eAppErr SetOutlinedView(const KsRef<PanoView>& view);
  uint32_t GetPointsPerSide() const { return m_pointsPerSide; }
  // -2 outside kMinPointsPerSide..kMaxPointsPerSide; the old count stays.
  eAppErr SetPointsPerSide(uint32_t points);
  KsRef<PanoView> GetLastContextView() const;
  // The directions along the outlined frame (pan, tilt in degrees).
  const std::vector<KsPointF>& GetDirections() const { return m_directions; }

 private:
  void ComputeDirections(PanoView& outlined);
  void FillBuffer(PanoView& context, const KsRect<int32_t>& frame, uint32_t images, bool atUpper, bool atLower,
                  float z);

  WeakRef::Ref m_outlinedView;
  WeakRef::Ref m_lastContextView;
  KsRect<int32_t> m_cachedFrame;
  uint64_t m_outlinedStamp = 0;
  uint64_t m_contextStamp = 0;
  // The tilt-limit flags the vertices were filled for (bit 0 upper, 1 lower).
  uint32_t m_limitFlags = 0;
  KsRef<HcVertexBuffer> m_buffer;
  std::vector<KsPointF> m_directions;
  uint32_t m_pointsPerSide = 10;
};
HC_CLASS_OBJECT(ViewOutliner, HcPolygons)
