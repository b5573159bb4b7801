#include "Responder/KeyBinding.h"

#include "Time/HcClock.h"
#include "Time/HcTransition.h"

KeyBinding::KeyBinding() = default;

KeyBinding::~KeyBinding() { StopTweens(); }

bool KeyBinding::Matches(uint32_t code, uint32_t modifiers) const {
  const uint32_t mask = static_cast<uint32_t>(m_modifierMask);
  return static_cast<int64_t>(code) == m_key && (modifiers & mask) == mask;
}

void KeyBinding::PutActionOn() {
  KsRef<HcClock> clock = GetClock();
  if (!m_action || !clock || clock->ContainsTween(m_action)) return;
  if (!AppErrFailed(clock->AddTween(m_action, /*unique=*/true))) m_actionPutOn = true;
}

void KeyBinding::TakeActionOff() {
  KsRef<HcClock> clock = GetClock();
  if (m_action && clock && clock->ContainsTween(m_action)) clock->RemoveTween(m_action);
  m_actionPutOn = false;
}

// The transition runs on this binding's clock: put there once, then armed.
void KeyBinding::StartTransition() {
  KsRef<HcTransition> transition = m_action.DynamicCast<HcTransition>();
  KsRef<HcClock> clock = GetClock();
  if (!transition || !clock) return;
  clock->AddTween(transition, /*unique=*/true);
  transition->Start(clock, /*alreadyOnClock=*/true);
}

bool KeyBinding::KeyDown(uint32_t code, uint32_t modifiers, uint32_t scanCode) {
  KeyboardResponder::KeyDown(code, modifiers, scanCode);
  if (!Matches(code, modifiers)) return false;
  if (m_behavior == kWhileHeld) PutActionOn();
  if (m_behavior == kStartOnDown) StartTransition();
  return true;
}

bool KeyBinding::KeyUp(uint32_t code, uint32_t modifiers, uint32_t scanCode) {
  KeyboardResponder::KeyUp(code, modifiers, scanCode);
  if (!Matches(code, modifiers)) return false;
  switch (m_behavior) {
    case kWhileHeld:
      TakeActionOff();
      break;
    case kStartOnUp:
      StartTransition();
      break;
    case kToggleOnUp: {
      KsRef<HcClock> clock = GetClock();
      if (clock && m_action && clock->ContainsTween(m_action)) {
        TakeActionOff();
      } else {
        PutActionOn();
      }
      break;
    }
    default:
      break;
  }
  return true;
}

void KeyBinding::StopTweens() {
  if (m_actionPutOn) TakeActionOff();
}

eAppErr KeyBinding::SetKey(int32_t key) {
  m_key = key;
  return AppErr::kNoErr;
}

eAppErr KeyBinding::SetModifierMask(int32_t mask) {
  m_modifierMask = mask;
  return AppErr::kNoErr;
}

eAppErr KeyBinding::SetBehavior(int32_t behavior) {
  m_behavior = behavior;
  return AppErr::kNoErr;
}

eAppErr KeyBinding::SetAction(const KsRef<HcTween>& action) {
  if (action != m_action) StopTweens();
  m_action = action;
  return AppErr::kNoErr;
}
