#pragma once

#include <cstdint>

#include "View/HcView.h"

class LayoutRegionCollection;

// The view that arranges others in layout regions: it gives every region
// its own frame whenever that frame, the regions or a region's views change,
// draws the regions in order (later ones on top), asks the regions' views
// first in the hit test, and turns the regions' redraw notices into its own
// "NeedsDisplay". The root of every scene is one.
class LayoutView : public HcView {
  HC_CLASS_HEADER(LayoutView)
 public:
  enum : int32_t { kRegionsId = 300 };

  LayoutView();
  ~LayoutView() override;

  void ObservePropertyChange(const KsRef<KsObject>& object, const KsRef<HcProperty>& property,
                             const KsRef<KsObject>& description) override;
  eAppErr Draw(const KsRef<PanoRenderer>& renderer) override;
  // A transparent ignore responder: events reach the views behind the regions.
  KsRef<MouseResponder> CreateDefaultMouseResponder() override;
  eAppErr SetFrame(const KsRectF& frame) override;
  eAppErr CollectViewsAtPoint(const KsPointF& point, const KsRef<ViewCollection>& views) override;

  // Lays every region out in the view's frame.
  eAppErr Initialize();
  KsRef<LayoutRegionCollection> GetRegions() const;
  eAppErr SetRegions(const KsRef<LayoutRegionCollection>& regions);

 private:
  void StartObservingRegions();
  void StopObservingRegions();

  KsRef<LayoutRegionCollection> m_regions;
};
HC_CLASS_OBJECT(LayoutView, HcView)
