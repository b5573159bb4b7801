#pragma once

#include <cstdint>

#include "General/KsColor.h"
#include "View/HcView.h"

class PanoView;
class HcVertexBuffer;

// A graticule over a panoramic view: meridians every 10 degrees of pan and
// parallels every 10 degrees of tilt, each bent as the reference view shows
// it. The lines are drawn in the reference view's frame coordinates (y
// upward), in "GridColor", as segments between the reference view's points
// of neighbouring directions; a segment with an end the view can't map
// (behind a perspective eye, say) or that wraps around a view of several
// copies is left out.
class PanTiltGridOverlay : public HcView {
  HC_CLASS_HEADER(PanTiltGridOverlay)
 public:
  enum : int32_t {
    kGridColorId = 300,
    kPanDivisionsId = 301,
    kReferenceViewId = 302,
    kTiltDivisionsId = 303,
    kZDepthId = 304,
  };
  static constexpr uint32_t kMeridians = 36;
  static constexpr uint32_t kParallels = 19;
  // Vertices along one line.
  static constexpr uint32_t kMinDivisions = 2;
  static constexpr uint32_t kMaxDivisions = 3600;

  PanTiltGridOverlay();
  ~PanTiltGridOverlay() override;

  eAppErr Draw(const KsRef<PanoRenderer>& renderer) override;
  // A transparent ignore responder: events pass to the views below.
  KsRef<MouseResponder> CreateDefaultMouseResponder() override;

  // Refills both line buffers from the reference view.
  eAppErr UpdateGrid(const KsRef<PanoRenderer>& renderer);

  KsColorF GetGridColor() const { return m_gridColor; }
  eAppErr SetGridColor(const KsColorF& color);
  uint32_t GetPanDivisions() const { return m_panDivisions; }
  // -2 outside kMinDivisions..kMaxDivisions.
  eAppErr SetPanDivisions(uint32_t divisions);
  uint32_t GetTiltDivisions() const { return m_tiltDivisions; }
  eAppErr SetTiltDivisions(uint32_t divisions);
  KsRef<PanoView> GetReferenceView() const;
  eAppErr SetReferenceView(const KsRef<PanoView>& view);
  float GetZDepth() const { return m_zDepth; }
  eAppErr SetZDepth(float depth);

 private:
  // A buffer of `lines` strips of the segments between `divisions` points.
  static eAppErr EnsureBuffer(const KsRef<PanoRenderer>& renderer, KsRef<HcVertexBuffer>& buffer,
                              uint32_t divisions, uint32_t lines);
  void FillLine(HcVertexBuffer& buffer, uint32_t line, uint32_t divisions, bool meridian, float fixed);

  KsColorF m_gridColor{1.0f, 0.0f, 0.0f, 1.0f};
  float m_zDepth = 0.75f;
  uint32_t m_panDivisions = 120;
  uint32_t m_tiltDivisions = 120;
  KsRef<HcVertexBuffer> m_meridians;
  KsRef<HcVertexBuffer> m_parallels;
  KsRef<PanoView> m_referenceView;
};
HC_CLASS_OBJECT(PanTiltGridOverlay, HcView)
