#include "Responder/MouseResponder.h"

#include "View/HcView.h"

MouseResponder::MouseResponder() = default;
MouseResponder::~MouseResponder() = default;

eAppErr MouseResponder::SetView(const KsRef<HcView>& view) {
  m_view = WeakRef::GetWeakRef(view.Get());
  return AppErr::kNoErr;
}

KsRef<HcView> MouseResponder::GetView() const { return m_view ? m_view->GetTargetAs<HcView>() : KsRef<HcView>(); }
