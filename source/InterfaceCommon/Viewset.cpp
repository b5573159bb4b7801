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
