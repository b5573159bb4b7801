#include <gtest/gtest.h>

#include <QKeyEvent>

#include "HcEventTranslation.h"

namespace et = HcEventTranslation;

namespace {

struct KeyCase {
  const char* name;
  int key;
  Qt::KeyboardModifiers modifiers;
  const char* text;
  uint16_t code;
  char16_t ignoringModifiers;
};

}  // namespace

TEST(EventTranslation, KeyCodesAreTheFirstCharacterWithArrowsAsControlCodes) {
  const KeyCase cases[] = {
      {"letter", Qt::Key_A, Qt::NoModifier, "a", 'a', u'a'},
      {"shifted letter", Qt::Key_A, Qt::ShiftModifier, "A", 'A', u'A'},
      {"command letter keeps its character", Qt::Key_A, Qt::ControlModifier, "\x01", 'a', u'a'},
      {"digit", Qt::Key_2, Qt::NoModifier, "2", '2', u'2'},
      {"period", Qt::Key_Period, Qt::NoModifier, ".", '.', u'.'},
      {"space", Qt::Key_Space, Qt::NoModifier, " ", ' ', u' '},
      {"escape", Qt::Key_Escape, Qt::NoModifier, "\x1b", 0x1B, 0x1B},
      {"left arrow", Qt::Key_Left, Qt::NoModifier, "", 28, et::kLeftArrowFunctionKey},
      {"right arrow", Qt::Key_Right, Qt::NoModifier, "", 29, et::kRightArrowFunctionKey},
      {"up arrow", Qt::Key_Up, Qt::NoModifier, "", 30, et::kUpArrowFunctionKey},
      {"down arrow with command", Qt::Key_Down, Qt::ControlModifier, "", 31, et::kDownArrowFunctionKey},
      {"home", Qt::Key_Home, Qt::NoModifier, "", et::kHomeFunctionKey, et::kHomeFunctionKey},
      {"end", Qt::Key_End, Qt::NoModifier, "", et::kEndFunctionKey, et::kEndFunctionKey},
      {"F2", Qt::Key_F2, Qt::NoModifier, "", et::kF1FunctionKey + 1, et::kF1FunctionKey + 1},
      {"accented letter", Qt::Key_Eacute, Qt::NoModifier, "\xc3\xa9", 0xE9, 0xE9},
  };
  for (const KeyCase& c : cases) {
    const QKeyEvent event(QEvent::KeyPress, c.key, c.modifiers, QString::fromUtf8(c.text));
    EXPECT_EQ(et::KeyCodeForCharacter(et::Characters(event)), c.code) << c.name;
    EXPECT_EQ(et::CharactersIgnoringModifiers(event), c.ignoringModifiers) << c.name;
  }
}

TEST(EventTranslation, ModifierMasksUseTheResponderBits) {
  EXPECT_EQ(et::ModifierMask(Qt::NoModifier, false), 0u);
  EXPECT_EQ(et::ModifierMask(Qt::ControlModifier, false), 0x0100u);
  EXPECT_EQ(et::ModifierMask(Qt::ShiftModifier, false), 0x0200u);
  EXPECT_EQ(et::ModifierMask(Qt::NoModifier, true), 0x0400u);
  EXPECT_EQ(et::ModifierMask(Qt::AltModifier, false), 0x0800u);
  EXPECT_EQ(et::ModifierMask(Qt::MetaModifier, false), 0x1000u);
  EXPECT_EQ(et::ModifierMask(Qt::ShiftModifier | Qt::AltModifier | Qt::ControlModifier, true), 0x0F00u);

  // The event of a modifier key may describe the state before the change.
  const QKeyEvent shiftDown(QEvent::KeyPress, Qt::Key_Shift, Qt::NoModifier);
  EXPECT_EQ(et::ModifierMaskAfter(shiftDown, false), 0x0200u);
  const QKeyEvent shiftUp(QEvent::KeyRelease, Qt::Key_Shift, Qt::ShiftModifier);
  EXPECT_EQ(et::ModifierMaskAfter(shiftUp, false), 0u);
  const QKeyEvent altDownWithShift(QEvent::KeyPress, Qt::Key_Alt, Qt::ShiftModifier);
  EXPECT_EQ(et::ModifierMaskAfter(altDownWithShift, false), 0x0A00u);
}

TEST(EventTranslation, ModifierChangesBecomeKeyDownsAndKeyUpsWithCodeZero) {
  struct Case {
    uint32_t previous, current;
    bool down;
    uint32_t downMask;
    bool up;
    uint32_t upMask;
  };
  const Case cases[] = {
      {0, 0x0200, true, 0x0200, false, 0},        // shift pressed
      {0x0200, 0, false, 0, true, 0x0200},        // shift released
      {0x0200, 0x0A00, true, 0x0A00, false, 0},   // option added: the combined mask only
      {0x0A00, 0x0800, true, 0x0800, true, 0x0200},  // shift let go while option stays
      {0x0200, 0x0200, false, 0, false, 0},       // nothing changed
  };
  for (const Case& c : cases) {
    const et::ModifierChange change = et::ModifierChangeFrom(c.previous, c.current);
    EXPECT_EQ(change.sendKeyDown, c.down) << c.previous << " -> " << c.current;
    EXPECT_EQ(change.keyDownModifiers, c.downMask) << c.previous << " -> " << c.current;
    EXPECT_EQ(change.sendKeyUp, c.up) << c.previous << " -> " << c.current;
    EXPECT_EQ(change.keyUpModifiers, c.upMask) << c.previous << " -> " << c.current;
  }
}

TEST(EventTranslation, FirstPersonLookTurnsByThePanRateAndLimitsTilt) {
  // 10 points at the default rate of 5: a quarter degree a point.
  et::LookDirection look = et::FirstPersonLook({100.0f, 0.0f}, 10, 0, 5.0f);
  EXPECT_FLOAT_EQ(look.pan, 102.5f);
  EXPECT_FLOAT_EQ(look.tilt, 0.0f);
  look = et::FirstPersonLook({359.0f, 0.0f}, 10, 0, 5.0f);
  EXPECT_NEAR(look.pan, 1.5f, 1e-4);
  look = et::FirstPersonLook({1.0f, 0.0f}, -10, 0, 5.0f);
  EXPECT_NEAR(look.pan, 358.5f, 1e-4);
  // Moving the mouse down looks down at half the horizontal rate.
  look = et::FirstPersonLook({0.0f, 10.0f}, 0, 8, 5.0f);
  EXPECT_FLOAT_EQ(look.tilt, 9.0f);
  EXPECT_FLOAT_EQ(et::FirstPersonLook({0.0f, 89.0f}, 0, -100, 5.0f).tilt, 90.0f);
  EXPECT_FLOAT_EQ(et::FirstPersonLook({0.0f, -89.0f}, 0, 100, 5.0f).tilt, -90.0f);
}

TEST(EventTranslation, ViewPointsHaveYUp) {
  EXPECT_EQ(et::ViewPoint({10, 0}, 200), QPointF(10, 200));
  EXPECT_EQ(et::ViewPoint({10, 150}, 200), QPointF(10, 50));
}
