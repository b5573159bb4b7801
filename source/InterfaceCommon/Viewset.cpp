#include "InterfaceCommon/Viewset.h"

#include "View/HcView.h"

Viewset::Viewset() = default;
Viewset::~Viewset() = default;

KsRef<HcView> Viewset::GetView() const { return m_view; }

eAppErr Viewset::SetView(const KsRef<HcView>& view) {
  if (view == m_view) return AppErr::kNoErr;
  DidChangeCaller change(this, kViewId);
  m_view = view;
  return AppErr::kNoErr;
}

eAppErr Viewset::SetViewHcML(const PWStringRef& hcml) {
  DidChangeCaller change(this, kViewHcMLId);
  m_viewHcML = hcml;
  return AppErr::kNoErr;
}

eAppErr Viewset::SetMainViewPath(const PWStringRef& path) {
  DidChangeCaller change(this, kMainViewPathId);
  m_mainViewPath = path;
  return AppErr::kNoErr;
}
