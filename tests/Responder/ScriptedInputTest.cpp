#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "Responder/KeyboardVelocityResponder.h"
#include "Responder/MouseVelocityResponder.h"
#include "ResponderTestSupport.h"
#include "Time/HcTweenCollection.h"

namespace {

// One step of a script: an event through the scene's entry points, then the
// clocks moved to `time` and ticked; what the step must leave.
struct Step {
  enum Kind { kPress, kDrag, kRelease, kHover, kScroll, kKeyDown, kKeyUp } kind;
  float x = 0.0f;  // point, or the scroll delta in x
  float y = 0.0f;
  uint32_t code = 0;
  uint32_t modifiers = 0;
  double time = 0.0;
  std::optional<uint32_t> cursor;  // the cursor reported, when one is
  bool idleReset = false;
  float pan = 0.0f;
  float tilt = 0.0f;
  float vfov = 60.0f;
  float skew = 0.0f;
};

std::string Describe(size_t index, const Step& step) {
  return "step " + std::to_string(index) + " kind " + std::to_string(step.kind);
}

// Frame 400 x 300, looking at pan 0, tilt 0 with a 60 degree field: a drag of
// 40 pixels sets 60 · 40 · 5 / 400 = 30 degrees a second. A velocity tween
// that restarts (its sign flips, or a key resets it) re-reads the property on
// its next tick and moves from the tick after.
const std::vector<Step> kScript = {
    {Step::kPress, 200, 150, 0, 0, 0.0, 9u, true, 0, 0},
    {Step::kDrag, 202, 148, 0, 0, 0.0, 9u, true, 0, 0},          // inside the dead zone
    {Step::kDrag, 240, 150, 0, 0, 1.0, 512u, true, 30, 0},       // right: 30/s for 1 s
    {Step::kDrag, 240, 190, 0, 0, 2.0, 768u, true, 60, 30},      // right and up
    {Step::kDrag, 240, 550, 0, 0, 3.0, 256u, true, 90, 90},      // up, far past the tilt limit
    {Step::kDrag, 240, 560, 0, 0, 3.5, 256u, true, 105, 90},     // held at the limit
    {Step::kRelease, 240, 560, 0, 0, 5.0, 8u, true, 105, 90},    // stops
    {Step::kHover, 100, 100, 0, 0, 6.0, 8u, false, 105, 90},     // hovering: no idle reset
    {Step::kScroll, 5, 0, 0, 0, 6.0, std::nullopt, true, 105, 90, 55},
    {Step::kScroll, -10, 0, 0, 0, 6.0, std::nullopt, true, 105, 90, 65},
    {Step::kPress, 200, 150, 0, 0, 7.0, 9u, true, 105, 90, 65},  // starts from where the view is
    {Step::kDrag, 200, 50, 0, 0, 8.0, 1024u, true, 105, 90, 65},
    {Step::kDrag, 200, 50, 0, 0, 9.0, 1024u, true, 105, 8.75f, 65},  // 65 · 100 · 5 / 400 down
    {Step::kRelease, 200, 50, 0, 0, 9.0, 8u, true, 105, 8.75f, 65},
    {Step::kKeyDown, 0, 0, 28, 0, 9.0, std::nullopt, true, 105, 8.75f, 65},     // left arrow
    {Step::kKeyDown, 0, 0, 28, 0, 9.5, std::nullopt, true, 60, 8.75f, 65},      // repeat: 90/s
    {Step::kKeyDown, 0, 0, 29, 0, 10.0, std::nullopt, true, 60, 8.75f, 65},     // right keeps left going
    {Step::kKeyDown, 0, 0, 29, 0, 10.5, std::nullopt, true, 15, 8.75f, 65},
    {Step::kKeyUp, 0, 0, 29, 0, 11.0, std::nullopt, true, 15, 8.75f, 65},       // either arrow stops the pan
    {Step::kKeyDown, 0, 0, '+', 0x200, 11.0, std::nullopt, true, 15, 8.75f, 65},  // shift "=": zoom in
    {Step::kKeyDown, 0, 0, '+', 0x200, 11.5, std::nullopt, true, 15, 8.75f, 50},
    {Step::kKeyUp, 0, 0, 0, 0x200, 12.0, std::nullopt, true, 15, 8.75f, 50},      // shift released
    {Step::kKeyDown, 0, 0, 'j', 0x100, 12.0, std::nullopt, true, 15, 8.75f, 50, 0},  // skew, command held
    {Step::kKeyDown, 0, 0, 'j', 0x100, 13.0, std::nullopt, true, 15, 8.75f, 50, -30},
    {Step::kKeyUp, 0, 0, 'k', 0, 13.0, std::nullopt, true, 15, 8.75f, 50, 0},
    {Step::kKeyUp, 0, 0, 'j', 0, 14.0, std::nullopt, true, 15, 8.75f, 50, 0},
};

TEST(ScriptedInput, DragScrollAndKeysTurnThePerspectiveView) {
  KsRef<TestScene> scene = TestScene::Make();
  scene->Tick(0.0);
  for (size_t i = 0; i < kScript.size(); ++i) {
    const Step& step = kScript[i];
    SCOPED_TRACE(Describe(i, step));
    scene->idle->SetDirty(false);
    uint32_t cursor = 4242;
    const KsPointF point{step.x, step.y};
    switch (step.kind) {
      case Step::kPress: EXPECT_TRUE(scene->mouse->MouseDown(point, &cursor)); break;
      case Step::kDrag: EXPECT_TRUE(scene->mouse->MouseMoved(point, &cursor)); break;
      case Step::kRelease: scene->mouse->MouseUp(point, &cursor); break;
      case Step::kHover: EXPECT_TRUE(scene->mouse->MouseMoved(point, &cursor)); break;
      case Step::kScroll: EXPECT_TRUE(scene->mouse->MouseScrolled(KsPointF{100, 100}, step.x)); break;
      case Step::kKeyDown: scene->KeyDown(step.code, step.modifiers, 0); break;
      case Step::kKeyUp: scene->KeyUp(step.code, step.modifiers, 0); break;
    }
    // A tick at the step's own time starts the tweens it put on the clock;
    // the next step's tick moves them.
    scene->Tick(step.time);
    if (step.cursor) {
      EXPECT_EQ(*step.cursor, cursor);
    } else if (step.kind != Step::kScroll) {
      EXPECT_EQ(4242u, cursor);
    }
    EXPECT_EQ(step.idleReset, scene->idle->GetDirty());
    KsRef<PerspectiveView> view = scene->Main();
    EXPECT_NEAR(step.pan, view->GetPanAngle(), 1e-3);
    EXPECT_NEAR(step.tilt, view->GetTiltAngle(), 1e-3);
    EXPECT_NEAR(step.vfov, view->GetVFOV(), 1e-3);
    EXPECT_NEAR(step.skew, view->GetSkew(), 1e-3);
  }
  // Every motion has stopped: nothing of the responders is left on the clock.
  EXPECT_EQ(0u, scene->realtime->GetTweens()->GetCount());
}

}  // namespace
