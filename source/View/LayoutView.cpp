#include "View/LayoutView.h"

#include "General/KsPropertyChangeDescription.h"
#include "Renderer/PanoRenderer.h"
#include "Responder/MouseIgnoreResponder.h"
#include "Utilities/HcProperty.h"
#include "View/LayoutRegionCollection.h"
#include "View/ViewCollection.h"

namespace {

// The element property of every object collection.
constexpr int32_t kCollectionElementId = 1;

}  // namespace

// The view observes its own collection from the start, so that regions added
// to it directly (as HcML loading does) are observed too.
LayoutView::LayoutView() : m_regions(KsMakeRef<LayoutRegionCollection>()) {
  m_regions->AddObserverForId(ThisRef(), kCollectionElementId, 0);
}

// Observers are held weakly: nothing to undo when the view goes.
LayoutView::~LayoutView() = default;

eAppErr LayoutView::Initialize() {
  if (!m_regions) return AppErr::kNoErr;
  const KsRectF frame = GetFrame();
  for (uint32_t i = 0; i < m_regions->GetCount(); ++i) {
    KsRef<LayoutRegion> region = m_regions->GetByIndex(i);
    if (!region) continue;
    const eAppErr err = region->UpdateFrame(frame);
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "Initialize");
  }
  return AppErr::kNoErr;
}

eAppErr LayoutView::SetFrame(const KsRectF& frame) {
  eAppErr err = HcView::SetFrame(frame);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetFrame");
  err = Initialize();
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetFrame");
  return err;
}

eAppErr LayoutView::Draw(const KsRef<PanoRenderer>& renderer) {
  if (!m_regions) return kNotDrawnYet;
  bool allNotReady = true;
  for (uint32_t i = 0; i < m_regions->GetCount(); ++i) {
    KsRef<LayoutRegion> region = m_regions->GetByIndex(i);
    if (!region) continue;
    const eAppErr result = region->Draw(renderer);
    if (AppErrFailed(result)) return KS_TRACE_ERR(result, "Draw");
    if (result != kNotDrawnYet) allNotReady = false;
  }
  return allNotReady ? kNotDrawnYet : AppErr::kNoErr;
}

eAppErr LayoutView::CollectViewsAtPoint(const KsPointF& point, const KsRef<ViewCollection>& views) {
  const KsRectF frame = GetFrame();
  const uint32_t count = m_regions ? m_regions->GetCount() : 0;
  for (uint32_t r = count; r-- > 0;) {
    KsRef<LayoutRegion> region = m_regions->GetByIndex(r);
    if (!region || !region->ComputeFrame(frame).Contains(point)) continue;
    KsRef<ViewCollection> regionViews = region->GetViews();
    const uint32_t viewCount = regionViews ? regionViews->GetCount() : 0;
    for (uint32_t v = viewCount; v-- > 0;) {
      if (KsRef<HcView> view = regionViews->GetByIndex(v)) view->CollectViewsAtPoint(point, views);
    }
  }
  return HcView::CollectViewsAtPoint(point, views);
}

KsRef<MouseResponder> LayoutView::CreateDefaultMouseResponder() {
  KsRef<MouseResponder> responder = HcView::CreateDefaultMouseResponder();
  if (auto ignore = responder.DynamicCast<MouseIgnoreResponder>()) ignore->SetTransparent(true);
  return responder;
}

KsRef<LayoutRegionCollection> LayoutView::GetRegions() const { return m_regions; }

eAppErr LayoutView::SetRegions(const KsRef<LayoutRegionCollection>& regions) {
  DidChangeCaller change(this, kRegionsId);
  KsRef<LayoutRegionCollection> incoming = regions;
  if (incoming && incoming == m_regions) {
    incoming = KsMakeRef<LayoutRegionCollection>();
    incoming->AddObjects(m_regions);
  }
  if (!m_regions) m_regions = KsMakeRef<LayoutRegionCollection>();
  StopObservingRegions();
  m_regions->RemoveAllObjects();
  if (incoming) m_regions->AddUniqueObjects(incoming);
  StartObservingRegions();
  Initialize();
  return AppErr::kNoErr;
}

void LayoutView::StartObservingRegions() {
  DidChangeCaller change(this, kNeedsDisplayId);
  if (!m_regions) return;
  KsRef<KsObject> self = ThisRef();
  for (uint32_t i = 0; i < m_regions->GetCount(); ++i) {
    KsRef<LayoutRegion> region = m_regions->GetByIndex(i);
    if (!region) continue;
    region->AddObserverForId(self, LayoutRegion::kNeedsDisplayId, 0);
    region->AddObserverForId(self, LayoutRegion::kViewsId, 0);
  }
}

void LayoutView::StopObservingRegions() {
  if (!m_regions) return;
  KsRef<KsObject> self = ThisRef();
  for (uint32_t i = 0; i < m_regions->GetCount(); ++i) {
    KsRef<LayoutRegion> region = m_regions->GetByIndex(i);
    if (!region) continue;
    region->RemoveObserverForId(self, LayoutRegion::kNeedsDisplayId);
    region->RemoveObserverForId(self, LayoutRegion::kViewsId);
  }
}

void LayoutView::ObservePropertyChange(const KsRef<KsObject>& object, const KsRef<HcProperty>& property,
                                       const KsRef<KsObject>& description) {
  if (object && object.Get() == static_cast<KsObject*>(m_regions.Get())) {
    if (auto change = description.DynamicCast<KsPropertyChangeDescription>()) {
      if (auto replaced = change->GetReplacedObjectValue().DynamicCast<LayoutRegion>()) {
        KsRef<KsObject> self = ThisRef();
        replaced->RemoveObserverForId(self, LayoutRegion::kNeedsDisplayId);
        replaced->RemoveObserverForId(self, LayoutRegion::kViewsId);
      }
    }
    StopObservingRegions();
    StartObservingRegions();
    return;
  }
  if (!property) return;
  if (property->GetPropertyID() == LayoutRegion::kNeedsDisplayId) {
    AnnounceNeedsDisplay();
  } else if (property->GetPropertyID() == LayoutRegion::kViewsId) {
    Initialize();
  }
}
