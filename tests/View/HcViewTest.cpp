#include <gtest/gtest.h>

#include <cmath>

#include "RegisterAllClasses.h"
#include "Renderer/AppleOpenGLRenderer.h"
#include "Responder/KeyboardResponder.h"
#include "Responder/MouseIgnoreResponder.h"
#include "Time/HcTweenCollection.h"
#include "View/HcTexturedView.h"
#include "View/ViewCollection.h"
#include "ViewTestSupport.h"

namespace {

class ViewTree : public ::testing::Test {
 protected:
  void SetUp() override { RegisterAllClasses(); }
};

// A textured view with nothing of its own to draw.
class TestTexturedView : public HcTexturedView {};

TEST_F(ViewTree, NewViewHasItsDefaults) {
  auto view = KsMakeRef<TestView>();
  EXPECT_EQ(KsRectF(0, 0, 1, 1), view->GetFrame());
  EXPECT_EQ(KsRect<int32_t>(0, 0, 1, 1), view->GetPixelFrame());
  EXPECT_EQ(1.0f, view->GetOpacity());
  EXPECT_FALSE(view->IsHidden());
  EXPECT_FALSE(view->GetTweens());
  EXPECT_EQ(0u, view->GetFrameCounter());
}

TEST_F(ViewTree, FrameChangesOnlyWhenItsPixelsDo) {
  auto view = KsMakeRef<TestView>();
  ASSERT_EQ(0, view->SetFrame({10, 0, 100, 50}));
  EXPECT_EQ(1u, view->GetFrameCounter());
  ASSERT_EQ(0, view->SetFrame({10.4f, 0, 100.2f, 50}));
  EXPECT_EQ(KsRectF(10, 0, 100, 50), view->GetFrame());
  EXPECT_EQ(1u, view->GetFrameCounter());
  ASSERT_EQ(0, view->SetFrame({10.5f, 0, 100, 50}));
  EXPECT_EQ(KsRectF(10.5f, 0, 100, 50), view->GetFrame());
  EXPECT_EQ(KsRect<int32_t>(11, 0, 100, 50), view->GetPixelFrame());
  EXPECT_EQ(2u, view->GetFrameCounter());
  // Halves round away from zero on the negative side too.
  view->SetFrame({-2.5f, -0.4f, 3, 3});
  EXPECT_EQ(KsRect<int32_t>(-3, 0, 3, 3), view->GetPixelFrame());
  // A frame that is not finite is stored without undefined rounding.
  view->SetFrame({NAN, INFINITY, 3, 3});
  EXPECT_EQ(0, view->GetPixelFrame().x);
}

TEST_F(ViewTree, RespondersAreMadeOnFirstReadAndKnowTheirView) {
  auto view = KsMakeRef<TestView>();
  auto recorder = KsMakeRef<NoticeRecorder>();
  Observe(view, recorder, {HcView::kMouseResponderId});
  KsRef<MouseResponder> mouse = view->GetMouseResponder();
  ASSERT_TRUE(mouse.DynamicCast<MouseIgnoreResponder>());
  EXPECT_FALSE(mouse.DynamicCast<MouseIgnoreResponder>()->GetTransparent());
  EXPECT_EQ(view.Get(), mouse->GetView().Get());
  EXPECT_EQ(mouse.Get(), view->GetMouseResponder().Get());
  EXPECT_EQ(1, recorder->Count(HcView::kMouseResponderId));
  KsRef<KeyboardResponder> keys = view->GetKeyboardResponder();
  ASSERT_TRUE(keys);
  EXPECT_EQ(view.Get(), keys->GetView().Get());
  // The responder holds its view weakly.
  KsRef<MouseResponder> kept = mouse;
  view = nullptr;
  EXPECT_FALSE(kept->GetView());
}

TEST_F(ViewTree, HitTestIncludesEdgesAndSkipsHiddenViews) {
  auto view = KsMakeRef<TestView>();
  view->SetFrame({10, 20, 100, 50});
  EXPECT_EQ(1u, HcView::GetViewsAtPoint(view, {110, 70})->GetCount());
  EXPECT_EQ(1u, HcView::GetViewsAtPoint(view, {10, 20})->GetCount());
  EXPECT_EQ(0u, HcView::GetViewsAtPoint(view, {110.5f, 70})->GetCount());
  EXPECT_EQ(0u, HcView::GetViewsAtPoint(view, {NAN, 30})->GetCount());
  view->SetHidden(true);
  EXPECT_EQ(0u, HcView::GetViewsAtPoint(view, {50, 30})->GetCount());
}

TEST_F(ViewTree, TexturedViewIsHitOnlyAfterADrawWithATextureSet) {
  auto view = KsMakeRef<TestTexturedView>();
  view->SetFrame({0, 0, 100, 100});
  auto source = KsMakeRef<StubSource>();
  source->set = KsMakeRef<EmptyTextureSet>();
  KsRef<PanoRenderer> noRenderer;
  // Never drawn: it can be hit.
  EXPECT_EQ(1u, HcView::GetViewsAtPoint(view, {5, 5})->GetCount());
  EXPECT_EQ(-903, view->Draw(noRenderer));
  EXPECT_TRUE(view->IsNotReady());
  EXPECT_EQ(0u, HcView::GetViewsAtPoint(view, {5, 5})->GetCount());

  // A renderer that never reaches OpenGL here: the stub source does not use it.
  KsRef<PanoRenderer> renderer = KsMakeRef<AppleOpenGLRenderer>();
  source->hasData = false;
  view->SetSource(source);
  EXPECT_EQ(3000, view->Draw(renderer));
  EXPECT_EQ(0u, HcView::GetViewsAtPoint(view, {5, 5})->GetCount());
  source->hasData = true;
  source->result = 3000;
  EXPECT_EQ(3000, view->Draw(renderer));
  source->result = -50;
  EXPECT_EQ(-50, view->Draw(renderer));
  EXPECT_EQ(0u, HcView::GetViewsAtPoint(view, {5, 5})->GetCount());
  source->result = 0;
  EXPECT_EQ(0, view->Draw(renderer));
  EXPECT_EQ(15u, source->lastMask);
  EXPECT_EQ(source->set.Get(), view->GetTextureSet().Get());
  EXPECT_EQ(1u, HcView::GetViewsAtPoint(view, {5, 5})->GetCount());
  // Setting the same source again still drops the cached set.
  view->SetSource(source);
  EXPECT_FALSE(view->GetTextureSet());
}

}  // namespace
