#include <gtest/gtest.h>

#include "InterfaceCommon/Viewset.h"
#include "RegisterAllClasses.h"
#include "Renderer/AppleOpenGLRenderer.h"
#include "Responder/MouseIgnoreResponder.h"
#include "Utilities/HcPropertyBinding.h"
#include "View/LayoutRegionAbsolute.h"
#include "View/LayoutRegionCollection.h"
#include "View/LayoutRegionPercent.h"
#include "View/LayoutView.h"
#include "View/ViewCollection.h"
#include "ViewTestSupport.h"

namespace {

class Layout : public ::testing::Test {
 protected:
  void SetUp() override { RegisterAllClasses(); }
  // Regions draw without touching the renderer when their views don't.
  KsRef<PanoRenderer> renderer = KsMakeRef<AppleOpenGLRenderer>();
};

KsRef<LayoutRegionPercent> Percent(KsRectF rect) {
  auto region = KsMakeRef<LayoutRegionPercent>();
  region->SetFrameRect(rect);
  return region;
}

KsRef<LayoutRegionAbsolute> Absolute(KsRectF rect, bool fromCentreX = false, bool fromCentreY = false) {
  auto region = KsMakeRef<LayoutRegionAbsolute>();
  region->SetFrameRect(rect);
  region->SetHOffsetFromCenter(fromCentreX);
  region->SetVOffsetFromCenter(fromCentreY);
  return region;
}

KsRef<TestView> ViewDrawing(eAppErr result) {
  auto view = KsMakeRef<TestView>();
  view->drawResult = result;
  return view;
}

KsRef<LayoutRegionCollection> Regions(std::initializer_list<KsRef<LayoutRegion>> regions) {
  auto collection = KsMakeRef<LayoutRegionCollection>();
  for (const auto& region : regions) collection->Add(region);
  return collection;
}

TEST_F(Layout, RegionsPlaceTheirRectangles) {
  struct Case {
    KsRef<LayoutRegion> region;
    KsRectF layout;
    KsRectF expected;
  } cases[] = {
      {Percent({0.5f, 0, 0.5f, 1}), {10, 20, 800, 600}, {410, 20, 400, 600}},
      {Absolute({-110, 10, 100, 50}), {0, 0, 800, 600}, {690, 10, 100, 50}},
      {Absolute({0, 10, 100, 50}), {0, 0, 800, 600}, {0, 10, 100, 50}},
      {Absolute({-0.0f, 10, 100, 50}), {5, 0, 800, 600}, {5, 10, 100, 50}},
      {Absolute({-50, 0, 100, 40}, true), {0, 0, 800, 600}, {350, 0, 100, 40}},
      {Absolute({10, -20, 100, 40}, false, true), {0, 100, 800, 600}, {10, 380, 100, 40}},
      {Absolute({10, -20, 100, 40}), {0, 100, 800, 600}, {10, 680, 100, 40}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, c.region->ComputeFrame(c.layout));
}

TEST_F(Layout, AspectBindingShrinksAndCentresTheRegion) {
  auto target = KsMakeRef<LayoutView>();  // any object with a float property: its "Opacity"
  target->SetOpacity(2.0f);
  auto binding = KsMakeRef<HcPropertyBinding>();
  binding->SetTargetObject(target);
  binding->SetPropertyName("Opacity");
  auto region = Percent({0, 0, 1, 1});
  auto view = KsMakeRef<TestView>();
  region->SetView(view);
  region->SetAspectBinding(binding);
  ASSERT_EQ(0, region->UpdateFrame({0, 0, 400, 100}));
  EXPECT_EQ(KsRectF(100, 0, 200, 100), view->GetFrame());
  ASSERT_EQ(0, region->UpdateFrame({0, 0, 100, 400}));
  EXPECT_EQ(KsRectF(0, 175, 100, 50), view->GetFrame());
  // A changed aspect is caught by the next draw.
  target->SetOpacity(1.0f);
  region->Draw(renderer);
  EXPECT_EQ(KsRectF(0, 150, 100, 100), view->GetFrame());
  // A binding that can't be read leaves the rectangle whole.
  region->SetAspectBinding(KsMakeRef<HcPropertyBinding>());
  EXPECT_EQ(0, region->UpdateFrame({0, 0, 300, 200}));
  EXPECT_EQ(KsRectF(0, 0, 300, 200), view->GetFrame());
  auto empty = Percent({0, 0, 1, 1});
  empty->SetAspectBinding(KsMakeRef<HcPropertyBinding>());
  EXPECT_EQ(-903, empty->UpdateFrame({0, 0, 300, 200}));
}

TEST_F(Layout, RegionDrawAnswersItsLastVisibleView) {
  struct Case {
    std::vector<eAppErr> results;
    std::vector<bool> hidden;
    eAppErr expected;
    int drawn;
  } cases[] = {
      {{}, {}, 0, 0},
      {{0}, {true}, 0, 0},
      {{0, 3000}, {false, false}, 3000, 2},
      {{3000, 0}, {false, false}, 0, 2},
      {{0, 3000}, {false, true}, 0, 1},
      {{-1, 0}, {false, false}, -1, 1},
  };
  for (const Case& c : cases) {
    auto region = Percent({0, 0, 1, 1});
    auto views = KsMakeRef<ViewCollection>();
    std::vector<KsRef<TestView>> made;
    for (size_t i = 0; i < c.results.size(); ++i) {
      made.push_back(ViewDrawing(c.results[i]));
      made.back()->SetHidden(c.hidden[i]);
      views->Add(made.back());
    }
    region->SetViews(views);
    EXPECT_EQ(c.expected, region->Draw(renderer));
    int drawn = 0;
    for (const auto& view : made) drawn += view->draws;
    EXPECT_EQ(c.drawn, drawn);
  }
}

TEST_F(Layout, SettingViewsAnnouncesViewsAndRelaysNeedsDisplay) {
  auto region = Percent({0, 0, 1, 1});
  auto recorder = KsMakeRef<NoticeRecorder>();
  Observe(region, recorder, {LayoutRegion::kViewsId, LayoutRegion::kViewId, LayoutRegion::kNeedsDisplayId});
  auto view = KsMakeRef<TestView>();
  region->SetView(view);
  EXPECT_EQ(1, recorder->Count(LayoutRegion::kViewsId));
  EXPECT_EQ(0, recorder->Count(LayoutRegion::kViewId));
  const int before = recorder->Count(LayoutRegion::kNeedsDisplayId);
  view->AnnounceNeedsDisplay();
  EXPECT_EQ(before + 1, recorder->Count(LayoutRegion::kNeedsDisplayId));
  // A view that left the region is no longer relayed.
  region->SetView(KsMakeRef<TestView>());
  const int after = recorder->Count(LayoutRegion::kNeedsDisplayId);
  view->AnnounceNeedsDisplay();
  EXPECT_EQ(after, recorder->Count(LayoutRegion::kNeedsDisplayId));
}

TEST_F(Layout, ViewsetsFillOrEmptyTheRegion) {
  auto region = Percent({0, 0, 1, 1});
  auto viewset = KsMakeRef<Viewset>();
  EXPECT_EQ(-2, region->SetViewset(viewset));
  EXPECT_EQ(0u, region->GetViews()->GetCount());
  EXPECT_EQ(viewset.Get(), region->GetViewset().Get());
  auto view = KsMakeRef<TestView>();
  viewset->SetView(view);
  EXPECT_EQ(0, region->SetViewset(viewset));
  EXPECT_EQ(view.Get(), region->GetView().Get());
  EXPECT_EQ(0, region->SetViewset(nullptr));
  EXPECT_EQ(0u, region->GetViews()->GetCount());
  EXPECT_FALSE(region->GetView());
}

TEST_F(Layout, LayoutViewDrawCombinesItsRegions) {
  struct Case {
    std::vector<eAppErr> results;
    eAppErr expected;
    int drawn;
  } cases[] = {{{}, 3000, 0}, {{3000, 0}, 0, 2}, {{3000, 3000}, 3000, 2}, {{-1, 0}, -1, 1}};
  for (const Case& c : cases) {
    auto layout = KsMakeRef<LayoutView>();
    auto regions = KsMakeRef<LayoutRegionCollection>();
    std::vector<KsRef<TestView>> made;
    for (eAppErr result : c.results) {
      auto region = Percent({0, 0, 1, 1});
      made.push_back(ViewDrawing(result));
      region->SetView(made.back());
      regions->Add(region);
    }
    layout->SetRegions(regions);
    EXPECT_EQ(c.expected, layout->Draw(renderer));
    int drawn = 0;
    for (const auto& view : made) drawn += view->draws;
    EXPECT_EQ(c.drawn, drawn);
  }
  // An empty region draws nothing and counts as drawn.
  auto layout = KsMakeRef<LayoutView>();
  layout->SetRegions(Regions({Percent({0, 0, 1, 1})}));
  EXPECT_EQ(0, layout->Draw(renderer));
}

TEST_F(Layout, HitTestFindsTopmostViewsFirst) {
  auto layout = KsMakeRef<LayoutView>();
  auto lower = Percent({0, 0, 1, 1});
  auto upper = Percent({0.5f, 0, 0.5f, 1});
  auto a = KsMakeRef<TestView>();
  auto b = KsMakeRef<TestView>();
  auto c = KsMakeRef<TestView>();
  lower->SetView(a);
  auto upperViews = KsMakeRef<ViewCollection>();
  upperViews->Add(b);
  upperViews->Add(c);
  upper->SetViews(upperViews);
  layout->SetRegions(Regions({lower, upper}));
  layout->SetFrame({0, 0, 800, 600});
  EXPECT_EQ(KsRectF(400, 0, 400, 600), c->GetFrame());
  KsRef<ViewCollection> hits = HcView::GetViewsAtPoint(layout, {600, 300});
  ASSERT_EQ(4u, hits->GetCount());
  EXPECT_EQ(c.Get(), hits->GetByIndex(0).Get());
  EXPECT_EQ(b.Get(), hits->GetByIndex(1).Get());
  EXPECT_EQ(a.Get(), hits->GetByIndex(2).Get());
  EXPECT_EQ(layout.Get(), hits->GetByIndex(3).Get());
  hits = HcView::GetViewsAtPoint(layout, {100, 300});
  ASSERT_EQ(2u, hits->GetCount());
  EXPECT_EQ(a.Get(), hits->GetByIndex(0).Get());
}

TEST_F(Layout, LayoutFollowsViewsAndRegionsButNotFrameRects) {
  auto layout = KsMakeRef<LayoutView>();
  auto pano = Percent({0, 0, 1, 1});
  auto side = Absolute({10, 10, 100, 50});
  layout->SetRegions(Regions({pano, side}));
  layout->SetFrame({0, 0, 640, 480});
  auto recorder = KsMakeRef<NoticeRecorder>();
  Observe(layout, recorder, {HcView::kNeedsDisplayId});

  // A viewset loaded into a region is laid out at once.
  auto view = KsMakeRef<TestView>();
  auto viewset = KsMakeRef<Viewset>();
  viewset->SetView(view);
  pano->SetViewset(viewset);
  EXPECT_EQ(KsRectF(0, 0, 640, 480), view->GetFrame());

  auto small = KsMakeRef<TestView>();
  side->SetView(small);
  EXPECT_EQ(KsRectF(10, 10, 100, 50), small->GetFrame());
  const int before = recorder->Count(HcView::kNeedsDisplayId);
  side->SetFrameRect({20, 20, 100, 50});
  EXPECT_GT(recorder->Count(HcView::kNeedsDisplayId), before);
  EXPECT_EQ(KsRectF(10, 10, 100, 50), small->GetFrame());
  layout->SetFrame({0, 0, 800, 600});
  EXPECT_EQ(KsRectF(20, 20, 100, 50), small->GetFrame());

  // A view's redraw request reaches the root's observers.
  const int beforeView = recorder->Count(HcView::kNeedsDisplayId);
  view->AnnounceNeedsDisplay();
  EXPECT_EQ(beforeView + 1, recorder->Count(HcView::kNeedsDisplayId));

  // A region added to the collection directly is observed too.
  auto late = Percent({0, 0, 1, 1});
  layout->GetRegions()->Add(late);
  auto lateView = KsMakeRef<TestView>();
  late->SetView(lateView);
  EXPECT_EQ(KsRectF(0, 0, 800, 600), lateView->GetFrame());
}

TEST_F(Layout, LayoutViewLetsMouseEventsThrough) {
  auto layout = KsMakeRef<LayoutView>();
  auto responder = layout->GetMouseResponder().DynamicCast<MouseIgnoreResponder>();
  ASSERT_TRUE(responder);
  EXPECT_TRUE(responder->GetTransparent());
}

}  // namespace
