#include <gtest/gtest.h>

#include <cmath>

#include "Responder/HotspotPropertyResponder.h"
#include "Responder/MouseIgnoreResponder.h"
#include "Responder/MousePositionResponder.h"
#include "Responder/MouseVelocityResponder.h"
#include "ResponderTestSupport.h"
#include "Time/HcTransition.h"
#include "Time/HcTweenCollection.h"
#include "View/PerspectiveViewOpenGL.h"
#include "View/ViewCollection.h"

namespace {

// A root with views stacked at every point, the first in the list on top.
class StackView : public HcView {
 public:
  eAppErr Draw(const KsRef<PanoRenderer>&) override { return 0; }
  eAppErr CollectViewsAtPoint(const KsPointF& point, const KsRef<ViewCollection>& views) override {
    for (const KsRef<HcView>& view : layers) view->CollectViewsAtPoint(point, views);
    return 0;
  }
  std::vector<KsRef<HcView>> layers;
};

class RecordingResponder : public MouseIgnoreResponder {
 public:
  bool MouseDown(const KsPointF&, uint32_t*) override {
    ++downs;
    return accept;
  }
  void MouseUp(const KsPointF&, uint32_t*) override { ++ups; }
  bool MouseRightDown(const KsPointF&, uint32_t*) override {
    ++rightDowns;
    return accept;
  }
  void MouseRightUp(const KsPointF&, uint32_t*) override { ++rightUps; }
  bool MouseMoved(const KsPointF&, uint32_t*) override {
    ++moves;
    return accept;
  }
  bool accept = true;
  int downs = 0, ups = 0, rightDowns = 0, rightUps = 0, moves = 0;
};

class LeafView : public HcView {
 public:
  eAppErr Draw(const KsRef<PanoRenderer>&) override { return 0; }
};

KsRef<HcView> Layer(const KsRef<MouseResponder>& responder) {
  auto view = KsMakeRef<LeafView>();
  view->SetFrame(KsRectF{0, 0, 100, 100});
  view->SetMouseResponder(responder);
  return view;
}

struct Forwarding {
  Forwarding() {
    root->SetFrame(KsRectF{0, 0, 100, 100});
    forwarder->SetView(root);
    forwarder->SetClock(idle);
  }
  KsRef<StackView> root = KsMakeRef<StackView>();
  KsRef<MouseForwardingResponder> forwarder = KsMakeRef<MouseForwardingResponder>();
  KsRef<HcManualClock> idle = KsMakeRef<HcManualClock>();
};

TEST(MouseForwarding, OpaqueAndTransparentLayersDecideWhoTakesThePress) {
  for (bool topTransparent : {false, true}) {
    Forwarding scene;
    auto top = KsMakeRef<MouseIgnoreResponder>();
    top->SetTransparent(topTransparent);
    auto below = KsMakeRef<MouseIgnoreResponder>();
    scene.root->layers = {Layer(top), Layer(below)};
    EXPECT_TRUE(scene.forwarder->MouseDown(KsPointF{10, 10}, nullptr));
    EXPECT_EQ(topTransparent ? below.Get() : top.Get(), scene.forwarder->GetCaptured().Get());
    // The ignore responder records nothing.
    EXPECT_EQ(KsPointF{}, top->GetPressPoint());
    EXPECT_FALSE(top->IsButtonDown());
  }
}

TEST(MouseForwarding, PressClearsAStaleCaptureAfterReleasingIt) {
  Forwarding scene;
  auto first = KsMakeRef<RecordingResponder>();
  scene.root->layers = {Layer(first)};
  ASSERT_TRUE(scene.forwarder->MouseDown(KsPointF{10, 10}, nullptr));
  // The release never came; the next press finds nobody to take it.
  first->accept = false;
  EXPECT_FALSE(scene.forwarder->MouseDown(KsPointF{10, 10}, nullptr));
  EXPECT_EQ(1, first->ups);
  EXPECT_FALSE(scene.forwarder->GetCaptured());
  scene.forwarder->MouseUp(KsPointF{10, 10}, nullptr);
  EXPECT_EQ(1, first->ups);  // no second, stale release

  // A right press captures without setting the button: moves hover.
  first->accept = true;
  EXPECT_TRUE(scene.forwarder->MouseRightDown(KsPointF{10, 10}, nullptr));
  EXPECT_FALSE(scene.forwarder->IsButtonDown());
  scene.forwarder->MouseMoved(KsPointF{20, 20}, nullptr);
  EXPECT_EQ(1, first->moves);
  EXPECT_EQ(KsPointF(20, 20), scene.forwarder->GetLastPoint());
  // A left press while right-captured releases the right capture first.
  EXPECT_TRUE(scene.forwarder->MouseDown(KsPointF{10, 10}, nullptr));
  EXPECT_EQ(1, first->rightUps);
  scene.forwarder->MouseUp(KsPointF{500, 500}, nullptr);  // the drag's release goes where the press went
  EXPECT_EQ(2, first->ups);
  EXPECT_EQ(KsPointF{}, scene.forwarder->GetPressPoint());
}

TEST(MouseForwarding, WithoutViewOnlyCapturedDragsAndReleasesAct) {
  auto forwarder = KsMakeRef<MouseForwardingResponder>();
  auto idle = KsMakeRef<HcManualClock>();
  forwarder->SetClock(idle);
  EXPECT_FALSE(forwarder->MouseDown(KsPointF{1, 1}, nullptr));
  EXPECT_FALSE(forwarder->MouseMoved(KsPointF{2, 2}, nullptr));
  EXPECT_FALSE(forwarder->MouseScrolled(KsPointF{2, 2}, 1.0f));
  idle->SetDirty(false);
  forwarder->MouseUp(KsPointF{2, 2}, nullptr);
  EXPECT_TRUE(idle->GetDirty());
}

TEST(MouseResponderBase, LastAnglesComeFromTheLastMoveNotThePress) {
  KsRef<TestScene> scene = TestScene::Make();
  KsRef<MouseResponder> responder = scene->Main()->GetMouseResponder();
  responder->MouseMoved(KsPointF{300, 150}, nullptr);
  responder->MouseDown(KsPointF{0, 0}, nullptr);
  float expectedPan = 0, expectedTilt = 0;
  scene->Main()->DirectionAtPointDeg(KsPointF{300, 150}, &expectedPan, &expectedTilt);
  KsRef<HcProperty> property;
  responder->GetClassObject()->GetPropertyForPropertyName(property, PWStringRef("LastPanAngle"));
  float pan = -1;
  ASSERT_EQ(0, property->GetValue(responder.Get(), &pan));
  EXPECT_FLOAT_EQ(expectedPan, pan);
  EXPECT_NE(0.0f, pan);
  responder->MouseUp(KsPointF{50, 50}, nullptr);
  EXPECT_EQ(KsPointF{}, responder->GetPressPoint());

  // No panoramic view: -102 with a zero angle.
  auto hotspot = KsMakeRef<HotspotPropertyResponder>();
  float tilt = 5;
  EXPECT_EQ(-102, hotspot->GetLastTiltAngle(&tilt));
  EXPECT_EQ(0.0f, tilt);
  EXPECT_TRUE(hotspot->MouseMoved(KsPointF{3, 3}, nullptr));
  EXPECT_EQ(KsPointF{}, hotspot->GetLastPoint());
}

TEST(MouseVelocity, TweensGoOnTheClockOnceAndLeaveWithTheResponderOrItsView) {
  KsRef<TestScene> scene = TestScene::Make();
  auto responder = scene->Main()->GetMouseResponder().DynamicCast<MouseVelocityResponder>();
  ASSERT_TRUE(responder);
  KsRef<HcTweenCollection> tweens = scene->realtime->GetTweens();
  responder->MouseDown(KsPointF{200, 150}, nullptr);
  responder->MouseDown(KsPointF{200, 150}, nullptr);  // a press without its release
  EXPECT_EQ(2u, tweens->GetCount());

  // Given another view, the old tweens leave the clock and new ones bind there.
  auto other = KsMakeRef<PerspectiveViewOpenGL>();
  other->SetFrame(KsRectF{0, 0, 400, 300});
  other->SetMouseResponder(responder);
  EXPECT_EQ(0u, tweens->GetCount());
  responder->MouseDown(KsPointF{200, 150}, nullptr);
  EXPECT_EQ(2u, tweens->GetCount());
  responder->MouseMoved(KsPointF{240, 150}, nullptr);
  scene->Tick(1.0);
  scene->Tick(2.0);
  EXPECT_FLOAT_EQ(0.0f, scene->Main()->GetPanAngle());
  EXPECT_NEAR(other->GetPanAngle(), 45.0f, 1e-3);  // 90 · 40 · 5 / 400 a second

  // Dying takes them off.
  other->SetMouseResponder(nullptr);
  scene->Main()->SetMouseResponder(nullptr);
  responder = nullptr;
  EXPECT_EQ(0u, tweens->GetCount());
}

TEST(MouseVelocity, AFrameWithoutWidthOrANanPointTurnsNothing) {
  for (const KsRectF& frame : {KsRectF{0, 0, 0, 300}, KsRectF{0, 0, -1, -1}}) {
    KsRef<TestScene> scene = TestScene::Make();
    scene->Main()->SetFrame(frame);
    auto responder = scene->Main()->GetMouseResponder().DynamicCast<MouseVelocityResponder>();
    responder->MouseDown(KsPointF{0, 0}, nullptr);
    responder->MouseMoved(KsPointF{40, 40}, nullptr);
    scene->Tick(1.0);
    scene->Tick(2.0);
    EXPECT_EQ(0.0f, responder->GetPanTween()->GetVelocity());
    EXPECT_FALSE(std::isnan(scene->Main()->GetPanAngle()));
    EXPECT_FLOAT_EQ(0.0f, scene->Main()->GetPanAngle());
  }
  KsRef<TestScene> scene = TestScene::Make();
  auto responder = scene->Main()->GetMouseResponder().DynamicCast<MouseVelocityResponder>();
  responder->MouseDown(KsPointF{0, 0}, nullptr);
  responder->MouseMoved(KsPointF{NAN, 10}, nullptr);
  EXPECT_EQ(0.0f, responder->GetPanTween()->GetVelocity());
}

TEST(MouseVelocity, DragCursorTable) {
  struct Case {
    float dx, dy;
    uint32_t cursor;
  };
  for (const Case& c : {Case{2, -2, 9}, Case{10, 4, 512}, Case{4, -10, 1024}, Case{10, 6, 768}, Case{-10, -6, 3072},
                        Case{-10, 6, 2304}, Case{0, 3, 256}}) {
    EXPECT_EQ(c.cursor, MouseVelocityResponder::DragCursor(c.dx, c.dy)) << c.dx << "," << c.dy;
  }
}

// Two perspective views: the own view (the scene's) follows the target.
struct PositionScene {
  PositionScene() {
    target->SetFrame(KsRectF{0, 0, 400, 300});
    target->SetLookDirection(40.0f, 5.0f, 50.0f, 0.0f);
    responder->SetRealtimeClock(scene->realtime);
    scene->Main()->SetMouseResponder(responder);
    responder->SetTargetView(target);
  }
  KsRef<TestScene> scene = TestScene::Make();
  KsRef<PerspectiveViewOpenGL> target = KsMakeRef<PerspectiveViewOpenGL>();
  KsRef<MousePositionResponder> responder = KsMakeRef<MousePositionResponder>();
};

TEST(MousePosition, FollowSteerAndGlide) {
  PositionScene s;
  KsRef<HcTweenCollection> tweens = s.scene->realtime->GetTweens();
  EXPECT_EQ(3u, tweens->GetCount());
  s.scene->Tick(0.0);
  EXPECT_FLOAT_EQ(40.0f, s.scene->Main()->GetPanAngle());
  EXPECT_FLOAT_EQ(50.0f, s.scene->Main()->GetVFOV());

  uint32_t cursor = 0;
  s.responder->MouseDown(KsPointF{300, 150}, &cursor);
  EXPECT_EQ(0u, cursor);  // the press leaves the cursor alone
  EXPECT_EQ(0u, tweens->GetCount());
  s.responder->MouseMoved(KsPointF{100, 200}, &cursor);
  EXPECT_EQ(7u, cursor);
  float pan = 0, tilt = 0;
  s.scene->Main()->DirectionAtPointDeg(KsPointF{100, 200}, &pan, &tilt);
  EXPECT_FLOAT_EQ(pan, s.target->GetPanAngle());
  EXPECT_FLOAT_EQ(tilt, s.target->GetTiltAngle());

  s.responder->MouseUp(KsPointF{120, 180}, nullptr);
  KsRef<HcTransition> glide = s.responder->GetTransition();
  ASSERT_TRUE(glide);
  s.scene->Main()->DirectionAtPointDeg(KsPointF{120, 180}, &pan, &tilt);
  EXPECT_FLOAT_EQ(pan, s.responder->GetPanGoal()->GetValue());
  EXPECT_FLOAT_EQ(tilt, s.responder->GetTiltGoal()->GetValue());
  EXPECT_DOUBLE_EQ(0.30000001192092896, glide->GetDuration());
  EXPECT_EQ(3u, glide->GetTweens()->GetCount());
  EXPECT_TRUE(s.scene->realtime->ContainsTween(glide));
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(s.scene->realtime->ContainsTween(s.responder->GetFollowTween(i)));

  // A second release while the glide lives reuses it.
  s.responder->MouseDown(KsPointF{200, 150}, nullptr);
  EXPECT_FALSE(s.scene->realtime->ContainsTween(glide));  // stopped by the press
  s.responder->MouseUp(KsPointF{200, 150}, nullptr);
  EXPECT_EQ(glide.Get(), s.responder->GetTransition().Get());
  // The glide ends and hands the follow tweens back to the clock.
  s.scene->Tick(1.0);
  s.scene->Tick(2.0);
  glide = nullptr;
  EXPECT_FALSE(s.responder->GetTransition());
  EXPECT_EQ(3u, tweens->GetCount());
}

TEST(MousePosition, ViewsThatTargetEachOtherDoNotScrollForever) {
  PositionScene s;
  auto back = KsMakeRef<MousePositionResponder>();
  back->SetRealtimeClock(s.scene->realtime);
  s.target->SetMouseResponder(back);
  back->SetTargetView(s.scene->Main().DynamicCast<PanoView>());
  EXPECT_FALSE(s.responder->MouseScrolled(KsPointF{10, 10}, 1.0f));
  EXPECT_FALSE(KsMakeRef<MousePositionResponder>()->MouseScrolled(KsPointF{10, 10}, 1.0f));

  // With a velocity responder at the end of the chain the scroll zooms it.
  s.target->SetMouseResponder(KsMakeRef<MouseVelocityResponder>());
  EXPECT_TRUE(s.responder->MouseScrolled(KsPointF{10, 10}, 4.0f));
  EXPECT_FLOAT_EQ(46.0f, s.target->GetVFOV());
  back = nullptr;
  s.scene->Main()->SetMouseResponder(nullptr);
  s.responder = nullptr;
  EXPECT_EQ(0u, s.scene->realtime->GetTweens()->GetCount());
}

}  // namespace
