#include "HcEventTranslation.h"

#include <QKeyEvent>
#include <algorithm>

namespace HcEventTranslation {

uint32_t ModifierMask(Qt::KeyboardModifiers modifiers, bool capsLock) {
  uint32_t mask = capsLock ? kAlphaLock : 0;
  if (modifiers & Qt::ShiftModifier) mask |= kShiftKey;
  if (modifiers & Qt::ControlModifier) mask |= kCommandKey;
  if (modifiers & Qt::AltModifier) mask |= kOptionKey;
  if (modifiers & Qt::MetaModifier) mask |= kControlKey;
  return mask;
}

uint32_t ModifierBitOfKey(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Shift: return kShiftKey;
    case Qt::Key_Control: return kCommandKey;
    case Qt::Key_Alt:
    case Qt::Key_AltGr: return kOptionKey;
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R: return kControlKey;
    case Qt::Key_CapsLock: return kAlphaLock;
    default: return 0;
  }
}

uint32_t ModifierMaskAfter(const QKeyEvent& event, bool capsLock) {
  uint32_t mask = ModifierMask(event.modifiers(), capsLock);
  const uint32_t own = ModifierBitOfKey(event.key());
  if (own == 0 || own == kAlphaLock) return mask;
  return event.type() == QEvent::KeyPress ? (mask | own) : (mask & ~own);
}

namespace {

char16_t FunctionKeyCharacter(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Up: return kUpArrowFunctionKey;
    case Qt::Key_Down: return kDownArrowFunctionKey;
    case Qt::Key_Left: return kLeftArrowFunctionKey;
    case Qt::Key_Right: return kRightArrowFunctionKey;
    case Qt::Key_Insert: return kInsertFunctionKey;
    case Qt::Key_Delete: return kDeleteFunctionKey;
    case Qt::Key_Home: return kHomeFunctionKey;
    case Qt::Key_End: return kEndFunctionKey;
    case Qt::Key_PageUp: return kPageUpFunctionKey;
    case Qt::Key_PageDown: return kPageDownFunctionKey;
    default: break;
  }
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F35) {
    return static_cast<char16_t>(kF1FunctionKey + (qtKey - Qt::Key_F1));
  }
  return 0;
}

bool IsPrintable(char16_t character) { return character >= 0x20 && character != 0x7F; }

// The character of a printable key as typed without Ctrl or Meta.
char16_t PlainCharacterOfKey(const QKeyEvent& event) {
  const int key = event.key();
  if (key >= Qt::Key_A && key <= Qt::Key_Z) {
    const char16_t letter = static_cast<char16_t>('a' + (key - Qt::Key_A));
    return (event.modifiers() & Qt::ShiftModifier) ? static_cast<char16_t>(letter - 'a' + 'A') : letter;
  }
  if (key >= Qt::Key_Space && key <= Qt::Key_AsciiTilde) return static_cast<char16_t>(key);
  return 0;
}

}  // namespace

// Ctrl stands for the command key, which leaves the typed character alone;
// where Ctrl or Meta turned a printable key's text into a control code, the
// key's own character is taken.
char16_t Characters(const QKeyEvent& event) {
  // Keys that type nothing on their own (arrows, Home, F-keys) come without
  // text, or with a control code some platforms put there.
  if (const char16_t function = FunctionKeyCharacter(event.key())) return function;
  const QString text = event.text();
  const char16_t typed = text.isEmpty() ? 0 : text.front().unicode();
  if (typed != 0 && IsPrintable(typed)) return typed;
  if (event.modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) {
    if (const char16_t plain = PlainCharacterOfKey(event)) return plain;
  }
  return typed;
}

char16_t CharactersIgnoringModifiers(const QKeyEvent& event) {
  const char16_t typed = Characters(event);
  if (typed != 0) return typed;
  return PlainCharacterOfKey(event);
}

uint16_t KeyCodeForCharacter(char16_t character) {
  switch (character) {
    case kUpArrowFunctionKey: return 0x1E;
    case kDownArrowFunctionKey: return 0x1F;
    case kLeftArrowFunctionKey: return 0x1C;
    case kRightArrowFunctionKey: return 0x1D;
    default: return character;
  }
}

ModifierChange ModifierChangeFrom(uint32_t previous, uint32_t current) {
  ModifierChange change;
  const uint32_t released = previous & ~current;
  if (current != 0 && current != previous) {
    change.sendKeyDown = true;
    change.keyDownModifiers = current;
  }
  if (released != 0) {
    change.sendKeyUp = true;
    change.keyUpModifiers = released;
  }
  return change;
}

QPointF ViewPoint(QPointF widgetPoint, double viewHeight) {
  return {widgetPoint.x(), viewHeight - widgetPoint.y()};
}

LookDirection FirstPersonLook(LookDirection current, double dx, double dy, float panRate) {
  const double scale = static_cast<double>(panRate) * 0.05;
  double pan = current.pan + scale * dx;
  if (pan > 360.0) {
    pan -= 360.0;
  } else if (pan < 0.0) {
    pan += 360.0;
  }
  const double tilt = std::clamp(current.tilt - 0.5 * scale * dy, -90.0, 90.0);
  return {static_cast<float>(pan), static_cast<float>(tilt)};
}

}  // namespace HcEventTranslation
