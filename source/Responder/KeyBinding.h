#pragma once

#include "Responder/KeyboardResponder.h"
#include "Time/HcTween.h"

// Attaches an animation to a key: Key (the character code as events carry
// it) with the modifier bits of ModifierMask all down (further modifiers
// don't matter; a mask of 0 matches any) drives Action, a tween or
// transition, on Clock as Behavior says:
//   1  key-down puts the action on the clock, key-up takes it off;
//   2  key-down starts a transition;
//   3  key-up starts a transition;
//   4  key-up toggles the action on or off the clock.
// A matching event is handled whatever the behaviour does. The action is
// never put on the clock twice, and an action this binding put there is
// taken off when the binding dies and when the scene stops input tweens.
class KeyBinding : public KeyboardResponder {
  HC_CLASS_HEADER(KeyBinding)
 public:
  enum : int32_t { kKeyId = 300, kModifierMaskId = 301, kBehaviorId = 302, kActionId = 303 };
  enum Behavior : int32_t { kWhileHeld = 1, kStartOnDown = 2, kStartOnUp = 3, kToggleOnUp = 4 };

  KeyBinding();
  ~KeyBinding() override;

  bool KeyDown(uint32_t code, uint32_t modifiers, uint32_t scanCode) override;
  bool KeyUp(uint32_t code, uint32_t modifiers, uint32_t scanCode) override;
  void StopTweens() override;

  bool Matches(uint32_t code, uint32_t modifiers) const;

  int32_t GetKey() const { return m_key; }
  eAppErr SetKey(int32_t key);
  int32_t GetModifierMask() const { return m_modifierMask; }
  eAppErr SetModifierMask(int32_t mask);
  int32_t GetBehavior() const { return m_behavior; }
  eAppErr SetBehavior(int32_t behavior);
  KsRef<HcTween> GetAction() const { return m_action; }
  eAppErr SetAction(const KsRef<HcTween>& action);

 private:
  void PutActionOn();
  void TakeActionOff();
  void StartTransition();

  int32_t m_key = 0;
  int32_t m_modifierMask = 0;
  int32_t m_behavior = kWhileHeld;
  KsRef<HcTween> m_action;
  // Whether the action is on the clock on this binding's account.
  bool m_actionPutOn = false;
};
HC_CLASS_OBJECT(KeyBinding, KeyboardResponder)
