#pragma once

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "General/WeakRef.h"
#include "Time/HcClock.h"

class HcView;

// The keyboard responder of a view, and the base of every other. Key events
// arrive as (code, modifiers, scan code): code is the character the key
// makes with the modifiers applied, the arrows are 28 (left), 29 (right), 30
// (up) and 31 (down), and a change of the modifier keys alone comes as code
// 0; modifiers are the bits below; the scan code is not used. The events
// answer whether the key was handled: the plain responder handles none.
//
// Responders run on the main thread. The tweens they start run on Clock: the
// process-wide real-time clock, taken when the responder is made (a scene
// may hand it another clock before the first event). Key events restart the
// scene's idle clock where they enter the scene (ResponderContext::KeyDown),
// not here.
class KeyboardResponder : public KsObject {
  HC_CLASS_HEADER(KeyboardResponder)
 public:
  enum : uint32_t {
    kKeyLeft = 28,
    kKeyRight = 29,
    kKeyUp = 30,
    kKeyDown = 31,
    kModifierCommand = 0x100,
    kModifierShift = 0x200,
    kModifierCapsLock = 0x400,
    kModifierOption = 0x800,
    kModifierControl = 0x1000,
  };

  KeyboardResponder();
  ~KeyboardResponder() override;

  virtual bool KeyDown(uint32_t code, uint32_t modifiers, uint32_t scanCode);
  virtual bool KeyUp(uint32_t code, uint32_t modifiers, uint32_t scanCode);
  // Remembers the owning view weakly.
  virtual eAppErr SetView(const KsRef<HcView>& view);
  // The view while it lives, else empty.
  virtual KsRef<HcView> GetView() const;
  // Takes off the clock the tweens this responder put there for keys still
  // held (the scene calls it when it switches viewsets); the base has none.
  virtual void StopTweens();

  KsRef<HcClock> GetClock() const { return m_clock; }
  // Not a property: scenes and tests that run on a clock of their own.
  void SetClock(const KsRef<HcClock>& clock);

 private:
  WeakRef::Ref m_view;
  KsRef<HcClock> m_clock;
};
HC_CLASS_OBJECT(KeyboardResponder, KsObject)
