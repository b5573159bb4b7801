#include "Responder/KeyboardBindingResponder.h"

#include "Responder/KeyboardResponderCollection.h"

KeyboardBindingResponder::KeyboardBindingResponder() = default;
KeyboardBindingResponder::~KeyboardBindingResponder() = default;

KsRef<KeyboardResponderCollection> KeyboardBindingResponder::GetBindings() const { return m_bindings; }

eAppErr KeyboardBindingResponder::SetBindings(const KsRef<KeyboardResponderCollection>& bindings) {
  m_bindings = bindings;
  return AppErr::kNoErr;
}

template <class Event>
bool KeyboardBindingResponder::FirstHandling(Event event) const {
  KsRef<KeyboardResponderCollection> bindings = m_bindings;
  const uint32_t count = bindings ? bindings->GetCount() : 0;
  for (uint32_t i = 0; i < count; ++i) {
    KsRef<KeyboardResponder> binding = bindings->GetByIndex(i);
    if (binding && event(*binding)) return true;
  }
  return false;
}

bool KeyboardBindingResponder::KeyDown(uint32_t code, uint32_t modifiers, uint32_t scanCode) {
  KeyboardResponder::KeyDown(code, modifiers, scanCode);
  return FirstHandling([&](KeyboardResponder& r) { return r.KeyDown(code, modifiers, scanCode); });
}

bool KeyboardBindingResponder::KeyUp(uint32_t code, uint32_t modifiers, uint32_t scanCode) {
  KeyboardResponder::KeyUp(code, modifiers, scanCode);
  return FirstHandling([&](KeyboardResponder& r) { return r.KeyUp(code, modifiers, scanCode); });
}

void KeyboardBindingResponder::StopTweens() {
  FirstHandling([](KeyboardResponder& r) {
    r.StopTweens();
    return false;
  });
}
