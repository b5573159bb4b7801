#include "View/LayoutRegion.h"

#include <limits>

#include "InterfaceCommon/Viewset.h"
#include "Renderer/PanoRenderer.h"
#include "Utilities/HcProperty.h"
#include "Utilities/HcPropertyBindingBase.h"
#include "View/ViewCollection.h"

LayoutRegion::LayoutRegion()
    : m_views(KsMakeRef<ViewCollection>()), m_lastAspect(std::numeric_limits<float>::quiet_NaN()) {}

// Observers are held weakly: nothing to undo when the region goes.
LayoutRegion::~LayoutRegion() = default;

KsRectF LayoutRegion::ShrinkToAspect(const KsRectF& rect, float aspect) {
  if (rect.w / rect.h > aspect) {
    const float width = rect.h * aspect;
    return {rect.x + (rect.w - width) * 0.5f, rect.y, width, rect.h};
  }
  const float height = rect.w / aspect;
  return {rect.x, rect.y + (rect.h - height) * 0.5f, rect.w, height};
}

eAppErr LayoutRegion::UpdateFrame(const KsRectF& layoutFrame) {
  m_layoutFrame = layoutFrame;
  KsRectF rect = ComputeFrame(layoutFrame);
  eAppErr result = AppErr::kNoErr;
  if (m_aspectBinding) {
    float aspect = 0.0f;
    result = m_aspectBinding->GetValue(&aspect);
    if (AppErrFailed(result)) {
      KS_TRACE_ERR(result, "UpdateFrame");
    } else {
      rect = ShrinkToAspect(rect, aspect);
      m_lastAspect = aspect;
    }
  }
  if (!m_views) return result;
  for (uint32_t i = 0; i < m_views->GetCount(); ++i) {
    KsRef<HcView> view = m_views->GetByIndex(i);
    if (!view) continue;
    result = view->SetFrame(rect);
    if (AppErrFailed(result)) return KS_TRACE_ERR(result, "UpdateFrame");
  }
  return result;
}

eAppErr LayoutRegion::Draw(const KsRef<PanoRenderer>& renderer) {
  if (!m_views) return AppErr::kNoErr;
  if (m_aspectBinding) {
    float aspect = 0.0f;
    if (!AppErrFailed(m_aspectBinding->GetValue(&aspect)) && aspect != m_lastAspect) UpdateFrame(m_layoutFrame);
  }
  eAppErr result = AppErr::kNoErr;
  for (uint32_t i = 0; i < m_views->GetCount(); ++i) {
    KsRef<HcView> view = m_views->GetByIndex(i);
    if (!view || view->IsHidden()) continue;
    result = view->Draw(renderer);
    if (AppErrFailed(result)) return KS_TRACE_ERR(result, "Draw");
  }
  return result;
}

KsRef<ViewCollection> LayoutRegion::GetViews() const { return m_views; }

void LayoutRegion::EnsureViews() {
  if (!m_views) m_views = KsMakeRef<ViewCollection>();
}

eAppErr LayoutRegion::SetViews(const KsRef<ViewCollection>& views) {
  DidChangeCaller change(this, kViewsId);
  KsRef<ViewCollection> incoming = views;
  if (incoming && incoming == m_views) {
    incoming = KsMakeRef<ViewCollection>();
    incoming->AddObjects(m_views);
  }
  m_viewset = nullptr;
  EnsureViews();
  StopObservingViews();
  m_views->RemoveAllObjects();
  if (incoming) m_views->AddUniqueObjects(incoming);
  StartObservingViews();
  return AppErr::kNoErr;
}

KsRef<HcView> LayoutRegion::GetView() const { return m_views ? m_views->GetByIndex(0) : KsRef<HcView>(); }

eAppErr LayoutRegion::SetView(const KsRef<HcView>& view) {
  DidChangeCaller change(this, kViewsId);
  m_viewset = nullptr;
  EnsureViews();
  StopObservingViews();
  m_views->RemoveAllObjects();
  if (view) m_views->Add(view);
  StartObservingViews();
  return AppErr::kNoErr;
}

KsRef<Viewset> LayoutRegion::GetViewset() const { return m_viewset; }

eAppErr LayoutRegion::SetViewset(const KsRef<Viewset>& viewset) {
  DidChangeCaller change(this, kViewsId);
  EnsureViews();
  StopObservingViews();
  m_views->RemoveAllObjects();
  m_viewset = viewset;
  if (!viewset) return AppErr::kNoErr;
  KsRef<HcView> view = viewset->GetView();
  if (!view) return KS_TRACE_ERR(AppErr::kBadArgument, "SetViewset");
  m_views->Add(view);
  StartObservingViews();
  return AppErr::kNoErr;
}

KsRef<HcPropertyBindingBase> LayoutRegion::GetAspectBinding() const { return m_aspectBinding; }

eAppErr LayoutRegion::SetAspectBinding(const KsRef<HcPropertyBindingBase>& binding) {
  DidChangeCaller change(this, kAspectBindingId);
  m_aspectBinding = binding;
  return AppErr::kNoErr;
}

void LayoutRegion::StartObservingViews() {
  DidChangeCaller change(this, kNeedsDisplayId);
  if (!m_views) return;
  KsRef<KsObject> self = ThisRef();
  for (uint32_t i = 0; i < m_views->GetCount(); ++i) {
    if (KsRef<HcView> view = m_views->GetByIndex(i)) view->AddObserverForId(self, HcView::kNeedsDisplayId, 0);
  }
}

void LayoutRegion::StopObservingViews() {
  if (!m_views) return;
  KsRef<KsObject> self = ThisRef();
  for (uint32_t i = 0; i < m_views->GetCount(); ++i) {
    if (KsRef<HcView> view = m_views->GetByIndex(i)) view->RemoveObserverForId(self, HcView::kNeedsDisplayId);
  }
}

void LayoutRegion::ObservePropertyChange(const KsRef<KsObject>&, const KsRef<HcProperty>& property,
                                         const KsRef<KsObject>&) {
  if (property && property->GetPropertyID() == HcView::kNeedsDisplayId) AnnounceNeedsDisplay();
}

void LayoutRegion::AnnounceNeedsDisplay() { DidChangeCaller change(this, kNeedsDisplayId); }
