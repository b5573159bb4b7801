#include "Responder/ResponderContext.h"

#include "Responder/KeyboardResponder.h"
#include "Responder/MouseResponder.h"
#include "Time/HcClock.h"
#include "View/HcView.h"

namespace {

void ResetIdle(ResponderContext& context) {
  if (KsRef<HcClock> clock = context.GetIdleClock()) clock->ResetIdle();
}

}  // namespace

bool ResponderContext::KeyDown(uint32_t code, uint32_t modifiers, uint32_t scanCode) {
  ResetIdle(*this);
  KsRef<KeyboardResponder> responder = GetKeyboardResponder();
  return responder && responder->KeyDown(code, modifiers, scanCode);
}

bool ResponderContext::KeyUp(uint32_t code, uint32_t modifiers, uint32_t scanCode) {
  ResetIdle(*this);
  KsRef<KeyboardResponder> responder = GetKeyboardResponder();
  return responder && responder->KeyUp(code, modifiers, scanCode);
}

void ResponderContext::StopInputTweens() {
  if (KsRef<HcView> view = GetMainView()) {
    if (KsRef<MouseResponder> mouse = view->GetMouseResponder()) mouse->StopTweens();
    if (KsRef<KeyboardResponder> keys = view->GetKeyboardResponder()) keys->StopTweens();
  }
  if (KsRef<KeyboardResponder> keys = GetKeyboardResponder()) keys->StopTweens();
}
