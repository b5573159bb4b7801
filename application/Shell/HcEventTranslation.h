#pragma once

#include <QPointF>
#include <QString>
#include <Qt>
#include <cstdint>

class QKeyEvent;

// How the window's Qt events become the scene's events: points in the
// player view's coordinates with y up, key codes as the responders know them
// (the first UTF-16 unit of the text; the arrows as the control codes 28 to
// 31; other function keys in the private-use range), and modifier masks in
// the responders' bit layout.
namespace HcEventTranslation {

constexpr uint32_t kCommandKey = 0x0100;  // Ctrl
constexpr uint32_t kShiftKey = 0x0200;
constexpr uint32_t kAlphaLock = 0x0400;   // Caps Lock
constexpr uint32_t kOptionKey = 0x0800;   // Alt
constexpr uint32_t kControlKey = 0x1000;  // Meta

// Characters of keys that type no text.
constexpr char16_t kUpArrowFunctionKey = 0xF700;
constexpr char16_t kDownArrowFunctionKey = 0xF701;
constexpr char16_t kLeftArrowFunctionKey = 0xF702;
constexpr char16_t kRightArrowFunctionKey = 0xF703;
constexpr char16_t kF1FunctionKey = 0xF704;
constexpr char16_t kInsertFunctionKey = 0xF727;
constexpr char16_t kDeleteFunctionKey = 0xF728;
constexpr char16_t kHomeFunctionKey = 0xF729;
constexpr char16_t kEndFunctionKey = 0xF72B;
constexpr char16_t kPageUpFunctionKey = 0xF72C;
constexpr char16_t kPageDownFunctionKey = 0xF72D;

uint32_t ModifierMask(Qt::KeyboardModifiers modifiers, bool capsLock);
// The bit a modifier key stands for; 0 for other keys.
uint32_t ModifierBitOfKey(int qtKey);
// The mask once the event's own modifier key is taken into account: a press
// sets its bit, a release clears it (the event's modifiers may describe the
// state before the change).
uint32_t ModifierMaskAfter(const QKeyEvent& event, bool capsLock);

// The first character the key gives: its text, or the function-key
// character of a key that types none; 0 when neither.
char16_t Characters(const QKeyEvent& event);
// The same ignoring modifiers: the key's own character when Ctrl or Meta
// turned the text into a control code.
char16_t CharactersIgnoringModifiers(const QKeyEvent& event);
// The code the responders get: the arrows become 28 to 31.
uint16_t KeyCodeForCharacter(char16_t character);

// What a change of the held modifiers sends: a key-down with the new mask
// when it is not empty and differs from the previous one, then a key-up
// with the bits that were released.
struct ModifierChange {
  bool sendKeyDown = false;
  uint32_t keyDownModifiers = 0;
  bool sendKeyUp = false;
  uint32_t keyUpModifiers = 0;
};
ModifierChange ModifierChangeFrom(uint32_t previous, uint32_t current);

// A point in a widget of the given height (y down) in the view's
// coordinates (y up).
QPointF ViewPoint(QPointF widgetPoint, double viewHeight);

// The first-person look: pan by panRate * 0.05 degrees per point of
// horizontal movement (wrapped once into 0 to 360), tilt at half that rate
// against the vertical movement, limited to -90 to 90.
struct LookDirection {
  float pan = 0;
  float tilt = 0;
};
LookDirection FirstPersonLook(LookDirection current, double dx, double dy, float panRate);

}  // namespace HcEventTranslation
