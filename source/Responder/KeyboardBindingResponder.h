#pragma once

#include "Responder/KeyboardResponder.h"

class KeyboardResponderCollection;

// Offers each key event to its Bindings (key bindings, or any keyboard
// responders) in order; the first that handles it ends the search.
class KeyboardBindingResponder : public KeyboardResponder {
  HC_CLASS_HEADER(KeyboardBindingResponder)
 public:
  enum : int32_t { kBindingsId = 300 };

  KeyboardBindingResponder();
  ~KeyboardBindingResponder() override;

  bool KeyDown(uint32_t code, uint32_t modifiers, uint32_t scanCode) override;
  bool KeyUp(uint32_t code, uint32_t modifiers, uint32_t scanCode) override;
  void StopTweens() override;

  KsRef<KeyboardResponderCollection> GetBindings() const;
  eAppErr SetBindings(const KsRef<KeyboardResponderCollection>& bindings);

 private:
  template <class Event>
  bool FirstHandling(Event event) const;

  KsRef<KeyboardResponderCollection> m_bindings;
};
HC_CLASS_OBJECT(KeyboardBindingResponder, KeyboardResponder)
