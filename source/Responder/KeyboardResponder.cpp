#include "Responder/KeyboardResponder.h"

#include "Time/QTSystemClock.h"
#include "View/HcView.h"

KeyboardResponder::KeyboardResponder() : m_clock(QTSystemClock::GetSharedClock()) {}
KeyboardResponder::~KeyboardResponder() = default;

bool KeyboardResponder::KeyDown(uint32_t, uint32_t, uint32_t) { return false; }

bool KeyboardResponder::KeyUp(uint32_t, uint32_t, uint32_t) { return false; }

eAppErr KeyboardResponder::SetView(const KsRef<HcView>& view) {
  m_view = WeakRef::GetWeakRef(view.Get());
  return AppErr::kNoErr;
}

KsRef<HcView> KeyboardResponder::GetView() const {
  return m_view ? m_view->GetTargetAs<HcView>() : KsRef<HcView>();
}

void KeyboardResponder::StopTweens() {}

void KeyboardResponder::SetClock(const KsRef<HcClock>& clock) {
  StopTweens();
  m_clock = clock;
}
