#include <gtest/gtest.h>

#include <cmath>

#include "OverlayTestSupport.h"
#include "Responder/KeyboardResponder.h"
#include "Responder/MouseIgnoreResponder.h"
#include "Responder/PressableVectorObject.h"
#include "View/HcGlyphButton.h"
#include "View/VectorObjectCollection.h"
#include "View/VectorView.h"
#include "ViewTestSupport.h"

namespace {

class VectorViews : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(scene.Make(160, 100));
    view = KsMakeRef<VectorView>();
    view->SetFrame(KsRectF(0, 0, 160, 100));
  }
  KsRef<RecordingObject> AddObject(KsRef<VectorObjectCollection>& objects) {
    if (!objects) {
      objects = KsMakeRef<VectorObjectCollection>();
      view->SetVectorObjects(objects);
    }
    auto object = KsMakeRef<RecordingObject>();
    objects->Add(object);
    return object;
  }
  eAppErr Draw() {
    return scene.Frame([&] { return view->Draw(scene.renderer); });
  }

  OverlayScene scene;
  KsRef<VectorView> view;
  KsRef<VectorObjectCollection> objects;
};

TEST_F(VectorViews, WithoutObjectsDrawsNothingNotEvenItsBackground) {
  view->SetDrawBackground(true);
  EXPECT_EQ(0, Draw());
  EXPECT_TRUE(scene.renderer->fills.empty());
  ASSERT_EQ(1u, scene.renderer->orthos.size());
  EXPECT_EQ(KsRectF(0, 0, 160, 100), scene.renderer->orthos[0]);
}

TEST_F(VectorViews, ObjectsDrawInOrderAtRisingDepths) {
  auto context = KsMakeRef<StubPanoView>();
  view->SetContextView(context);
  view->SetFrame(KsRectF(10, 20, 100, 50));
  auto a = AddObject(objects);
  auto b = AddObject(objects);
  auto c = AddObject(objects);
  ASSERT_EQ(0, Draw());
  ASSERT_EQ(1u, a->depths.size());
  EXPECT_EQ(-0.9f, a->depths[0]);
  EXPECT_EQ(0.01f - 0.9f, b->depths[0]);
  EXPECT_EQ(2 * 0.01f - 0.9f, c->depths[0]);
  EXPECT_NEAR(-0.88f, c->depths[0], 1e-6);
  EXPECT_FLOAT_EQ(-0.8f, VectorView::DepthOfObject(10));
  EXPECT_EQ((KsRect<int32_t>{10, 20, 100, 50}), a->frames[0]);
  EXPECT_EQ(context.Get(), a->contexts[0]);
}

TEST_F(VectorViews, AnObjectThatDrawsNothingYetStopsTheRest) {
  view->SetDrawBackground(true);
  auto a = AddObject(objects);
  auto b = AddObject(objects);
  a->result = 3000;
  EXPECT_EQ(3000, Draw());
  EXPECT_TRUE(b->depths.empty());
  // The fill after the objects is skipped.
  EXPECT_TRUE(scene.renderer->fills.empty());
}

TEST_F(VectorViews, BackgroundFillsBeforeOrAfterTheObjects) {
  objects = KsMakeRef<VectorObjectCollection>();
  view->SetVectorObjects(objects);
  view->SetDrawBackground(true);
  view->SetBackgroundColor({0.1f, 0.2f, 0.3f, 0.4f});
  for (bool over : {false, true}) {
    view->SetDrawObjectsOverBackground(over);
    scene.renderer->Forget();
    ASSERT_EQ(0, Draw());
    const std::vector<std::string> expected =
        over ? std::vector<std::string>{"ortho", "fill", "clear-depth"} : std::vector<std::string>{"ortho", "clear-depth", "fill"};
    EXPECT_EQ(expected, scene.renderer->events) << over;
    ASSERT_EQ(1u, scene.renderer->fills.size());
    EXPECT_EQ((KsColorF{0.1f, 0.2f, 0.3f, 0.4f}), scene.renderer->fills[0]);
  }
}

TEST_F(VectorViews, RestoresTheRenderersBackgroundAndDepthFunction) {
  AddObject(objects);
  view->SetDrawBackground(true);
  scene.renderer->SetBackgroundColor({0, 0, 0, 1});
  ASSERT_EQ(0, Draw());
  EXPECT_EQ((KsColorF{0, 0, 0, 1}), scene.renderer->GetBackgroundColor());
  GLint depthFunc = 0;
  glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
  EXPECT_EQ(GL_LEQUAL, depthFunc);
}

TEST_F(VectorViews, TheBackgroundDrawnLastFillsOnlyWhatNoObjectCovered) {
  // A white glyph over the left half; a red background drawn after it.
  auto set = KsMakeRef<StubTextureSet>();
  set->Add(KsRectF(0, 0, 1, 1));
  auto source = KsMakeRef<StubSource>();
  source->set = set;
  auto glyph = KsMakeRef<HcGlyph>();
  glyph->SetSource(source);
  glyph->SetFramePercent(KsRectF(0, 0, 0.5f, 1));
  objects = KsMakeRef<VectorObjectCollection>();
  objects->Add(glyph);
  view->SetVectorObjects(objects);
  view->SetDrawBackground(true);
  view->SetBackgroundColor({1, 0, 0, 1});
  ASSERT_EQ(0, Draw());
  const std::vector<uint8_t> rgba = scene.ReadRGBA();
  const auto at = [&](int x, int y) { return &rgba[(static_cast<size_t>(y) * 160 + x) * 4]; };
  EXPECT_EQ(255, at(40, 50)[1]);  // white: the glyph
  EXPECT_EQ(255, at(120, 50)[0]);  // red: the background
  EXPECT_EQ(0, at(120, 50)[1]);
}

TEST_F(VectorViews, HitTestsFindTheTopmostObject) {
  auto lower = AddObject(objects);
  auto upper = AddObject(objects);
  lower->area = KsRectF(0, 0, 100, 100);
  upper->area = KsRectF(50, 0, 100, 100);
  EXPECT_EQ(upper.Get(), view->GetObjectAtPoint({60, 10}).Get());
  EXPECT_EQ(lower.Get(), view->GetObjectAtPoint({10, 10}).Get());
  EXPECT_FALSE(view->GetObjectAtPoint({200, 10}));
  EXPECT_TRUE(view->ObjectAtIndexContainsPoint(0, {60, 10}));
  EXPECT_FALSE(view->ObjectAtIndexContainsPoint(2, {60, 10}));
  EXPECT_FALSE(view->ObjectContainsPoint({}, {60, 10}));
  EXPECT_FALSE(view->ObjectContainsPoint(KsMakeRef<VectorView>(), {60, 10}));
  EXPECT_EQ(upper.Get(), view->GetVectorObjectAt(1).Get());
  EXPECT_FALSE(view->GetVectorObjectAt(2));
  // The vector-object responder reaches the view and its buttons through
  // their interfaces.
  EXPECT_EQ(view.Get(), dynamic_cast<VectorView*>(VectorObjectHost::Of(view.Get())));
  EXPECT_TRUE(PressableVectorObject::Of(KsMakeRef<HcGlyphButton>().Get()));
  EXPECT_FALSE(PressableVectorObject::Of(KsMakeRef<HcGlyph>().Get()));
  view->SetVectorObjects({});
  EXPECT_FALSE(view->GetObjectAtPoint({60, 10}));
  EXPECT_FALSE(view->ObjectAtIndexContainsPoint(0, {60, 10}));
}

TEST_F(VectorViews, MouseEventsPassThroughByDefault) {
  auto responder = view->GetMouseResponder().DynamicCast<MouseIgnoreResponder>();
  ASSERT_TRUE(responder);
  EXPECT_TRUE(responder->GetTransparent());
  EXPECT_TRUE(view->GetKeyboardResponder());
  EXPECT_EQ((KsColorF{0.5f, 0.5f, 0.5f, 0.5f}), view->GetBackgroundColor());
}

}  // namespace
