#include "Responder/KeyboardResponder.h"

#include "View/HcView.h"

KeyboardResponder::KeyboardResponder() = default;
KeyboardResponder::~KeyboardResponder() = default;

eAppErr KeyboardResponder::SetView(const KsRef<HcView>& view) {
  m_view = WeakRef::GetWeakRef(view.Get());
  return AppErr::kNoErr;
}

KsRef<HcView> KeyboardResponder::GetView() const {
  return m_view ? m_view->GetTargetAs<HcView>() : KsRef<HcView>();
}
