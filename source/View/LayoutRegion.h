#pragma once

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "General/KsRect.h"

class PanoRenderer;
class HcPropertyBindingBase;
class Viewset;
class ViewCollection;
class HcView;

// One rectangle of a layout view with the views drawn in it. The layout view
// hands the region its own frame; the region turns it into its rectangle
// (ComputeFrame, the placement rule of the subclass), shrinks that to the
// aspect its binding reads, if any, and gives the result to every view it
// holds: the views of one region share one frame and are drawn on top of one
// another in collection order. A region shows either a free list of views or
// the view of one viewset, and relays its views' "NeedsDisplay" as its own.
class LayoutRegion : public KsObject {
  HC_CLASS_HEADER(LayoutRegion)
 public:
  enum : int32_t { kViewsId = 200, kViewId = 201, kViewsetId = 202, kAspectBindingId = 203, kNeedsDisplayId = 204 };

  LayoutRegion();
  ~LayoutRegion() override;

  void ObservePropertyChange(const KsRef<KsObject>& object, const KsRef<HcProperty>& property,
                             const KsRef<KsObject>& description) override;
  virtual eAppErr Draw(const KsRef<PanoRenderer>& renderer);
  virtual KsRectF ComputeFrame(const KsRectF& layoutFrame) = 0;

  eAppErr UpdateFrame(const KsRectF& layoutFrame);

  KsRef<ViewCollection> GetViews() const;
  eAppErr SetViews(const KsRef<ViewCollection>& views);
  // The first view, or none.
  KsRef<HcView> GetView() const;
  eAppErr SetView(const KsRef<HcView>& view);
  KsRef<Viewset> GetViewset() const;
  eAppErr SetViewset(const KsRef<Viewset>& viewset);
  KsRef<HcPropertyBindingBase> GetAspectBinding() const;
  eAppErr SetAspectBinding(const KsRef<HcPropertyBindingBase>& binding);

  KsRectF GetLayoutFrame() const { return m_layoutFrame; }

 protected:
  void AnnounceNeedsDisplay();

 private:
  void StartObservingViews();
  void StopObservingViews();
  void EnsureViews();
  // The rectangle narrowed or shortened, centred, to width / height = aspect.
  static KsRectF ShrinkToAspect(const KsRectF& rect, float aspect);

  KsRef<HcPropertyBindingBase> m_aspectBinding;
  KsRef<ViewCollection> m_views;
  KsRef<Viewset> m_viewset;
  KsRectF m_layoutFrame;
  // NaN: unequal to every aspect, so the first draw after a binding is set
  // lays the region out.
  float m_lastAspect;
};
HC_CLASS_OBJECT(LayoutRegion, KsObject)
