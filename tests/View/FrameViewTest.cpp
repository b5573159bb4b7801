#include <gtest/gtest.h>

#include <cmath>

#include "RegisterAllClasses.h"
#include "Renderer/AppleOpenGLRenderer.h"
#include "View/FrameSubViewCollection.h"
#include "View/FrameView.h"
#include "View/ViewCollection.h"
#include "ViewTestSupport.h"

namespace {

class FrameViews : public ::testing::Test {
 protected:
  void SetUp() override { RegisterAllClasses(); }
  KsRef<PanoRenderer> renderer = KsMakeRef<AppleOpenGLRenderer>();
};

TEST_F(FrameViews, MembersShareTheFrameByProportion) {
  auto frame = KsMakeRef<FrameView>();
  EXPECT_TRUE(frame->GetVertical());
  frame->SetVertical(false);
  frame->SetFrame({0, 0, 100, 90});
  KsRef<TestView> views[3] = {KsMakeRef<TestView>(), KsMakeRef<TestView>(), KsMakeRef<TestView>()};
  for (const auto& view : views) ASSERT_EQ(0, frame->AddView(view, 1.0f));
  EXPECT_EQ(KsRectF(0, 0, 33, 90), views[0]->GetFrame());
  EXPECT_EQ(KsRectF(33, 0, 33, 90), views[1]->GetFrame());
  EXPECT_EQ(KsRectF(66, 0, 33, 90), views[2]->GetFrame());
  KsRef<ViewCollection> hits = HcView::GetViewsAtPoint(frame, {40, 10});
  ASSERT_EQ(2u, hits->GetCount());
  EXPECT_EQ(views[1].Get(), hits->GetByIndex(0).Get());
  EXPECT_EQ(frame.Get(), hits->GetByIndex(1).Get());
  // x 99.5 lies in the third share but outside the third view's rounded frame.
  EXPECT_EQ(1u, HcView::GetViewsAtPoint(frame, {99.5f, 10})->GetCount());

  auto column = KsMakeRef<FrameView>();
  column->SetFrame({10, 20, 200, 100});
  auto top = KsMakeRef<TestView>();
  auto bottom = KsMakeRef<TestView>();
  column->AddView(top, 1.0f);
  column->AddView(bottom, 3.0f);
  EXPECT_EQ(KsRectF(10, 20, 200, 25), top->GetFrame());
  EXPECT_EQ(KsRectF(10, 45, 200, 75), bottom->GetFrame());
}

TEST_F(FrameViews, ProportionsMustBePositiveAndViewsAreSetOnce) {
  auto frame = KsMakeRef<FrameView>();
  frame->SetFrame({0, 0, 100, 100});
  ASSERT_EQ(0, frame->AddView(KsMakeRef<TestView>(), 0.0f));
  KsRef<FrameSubview> member = frame->GetSubViews()->GetByIndex(0);
  ASSERT_TRUE(member);
  EXPECT_EQ(1.0f, member->GetProportion());
  EXPECT_EQ(-2, member->SetProportion(-1.0f));
  EXPECT_EQ(-2, member->SetProportion(INFINITY));
  EXPECT_EQ(1.0f, member->GetProportion());
  KsRef<HcView> first = member->GetView();
  EXPECT_EQ(-903, member->SetView(KsMakeRef<TestView>()));
  EXPECT_EQ(first.Get(), member->GetView().Get());
}

TEST_F(FrameViews, DrawStopsAtAFailureAndAnswersTheLastDrawn) {
  auto frame = KsMakeRef<FrameView>();
  EXPECT_EQ(0, frame->Draw(renderer));
  auto a = KsMakeRef<TestView>();
  auto b = KsMakeRef<TestView>();
  frame->AddView(a, 1);
  frame->AddView(b, 1);
  b->drawResult = 3000;
  EXPECT_EQ(3000, frame->Draw(renderer));
  b->SetHidden(true);
  EXPECT_EQ(0, frame->Draw(renderer));
  a->drawResult = -5;
  b->SetHidden(false);
  EXPECT_EQ(-5, frame->Draw(renderer));
  EXPECT_EQ(1, b->draws);
}

TEST_F(FrameViews, AFrameViewNeverLaidOutHitsOnlyItself) {
  auto frame = KsMakeRef<FrameView>();
  frame->GetSubViews()->Add(KsMakeRef<FrameSubview>());
  EXPECT_EQ(1u, HcView::GetViewsAtPoint(frame, {0.5f, 0.5f})->GetCount());
}

}  // namespace
