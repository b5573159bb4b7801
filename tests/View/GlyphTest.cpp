#include <gtest/gtest.h>

#include <cmath>

#include "OverlayTestSupport.h"
#include "Utilities/HcPropertyBinding.h"
#include "View/HcGlyphButton.h"
#include "View/HcTexViewer.h"
#include "View/VectorObjectCollection.h"
#include "View/VectorView.h"
#include "ViewTestSupport.h"

namespace {

KsRef<StubSource> SourceOf(const KsRef<HcTextureSet>& set) {
  auto source = KsMakeRef<StubSource>();
  source->set = set;
  return source;
}

KsRef<StubTextureSet> WholeImageSet() {
  auto set = KsMakeRef<StubTextureSet>();
  set->Add(KsRectF(0, 0, 1, 1));
  return set;
}

TEST(SourceDisplay, FrameFromFractionsOrPoints) {
  auto glyph = KsMakeRef<HcGlyph>();
  const KsRect<int32_t> frame{100, 50, 400, 200};
  EXPECT_EQ(KsRectF(100, 50, 400, 200), glyph->ComputeFrame(frame));
  glyph->SetFramePercent(KsRectF(0.25f, 0.5f, 0.5f, 0.25f));
  EXPECT_EQ(KsRectF(200, 150, 200, 50), glyph->ComputeFrame(frame));
  glyph->SetFrameInPoints(true);
  EXPECT_EQ(KsRectF(100.25f, 50.5f, 0.5f, 0.25f), glyph->ComputeFrame(frame));
  glyph->SetFrameInPoints(false);
  glyph->SetFramePercent(KsRectF(0, 0, 1, 1));
  for (KsPointF p : {KsPointF{100, 50}, KsPointF{500, 250}, KsPointF{300, 100}}) {
    EXPECT_TRUE(glyph->ContainsPoint(frame, {}, p)) << p.x << "," << p.y;
  }
  EXPECT_FALSE(glyph->ContainsPoint(frame, {}, {500.5f, 250}));
  EXPECT_FALSE(glyph->ContainsPoint(frame, {}, {NAN, 100}));
}

class Glyphs : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(scene.Make(100, 60)); }
  eAppErr Draw(const KsRef<HcVectorObject>& object, const KsRect<int32_t>& frame = {0, 0, 100, 60}) {
    return scene.Frame([&] {
      scene.renderer->Ortho2D(KsRectF(0, 0, 100, 60), true);
      scene.renderer->ModelViewIdentity();
      return object->Draw(frame, {}, scene.renderer, -0.9f);
    });
  }
  OverlayScene scene;
};

TEST_F(Glyphs, AGlyphDrawsItsSourceWithItsOpacity) {
  auto glyph = KsMakeRef<HcGlyph>();
  auto set = WholeImageSet();
  glyph->SetSource(SourceOf(set));
  glyph->SetOpacity(0.5f);
  ASSERT_EQ(0, Draw(glyph));
  EXPECT_EQ(1, set->textures[0]->activations);
  EXPECT_EQ(1u, glyph->GetTextureCount());
  EXPECT_EQ((KsColorF{1, 1, 1, 0.5f}), scene.renderer->colors.back());
  // Without a source the draw fails, and so ends a vector view's drawing.
  auto empty = KsMakeRef<HcGlyph>();
  EXPECT_EQ(-903, Draw(empty));
  auto view = KsMakeRef<VectorView>();
  auto objects = KsMakeRef<VectorObjectCollection>();
  auto after = KsMakeRef<RecordingObject>();
  objects->Add(empty);
  objects->Add(after);
  view->SetVectorObjects(objects);
  EXPECT_EQ(-903, scene.Frame([&] { return view->Draw(scene.renderer); }));
  EXPECT_TRUE(after->depths.empty());
  // A source's failure is passed on.
  auto failing = KsMakeRef<StubSource>();
  failing->result = -42;
  glyph->SetSource(failing);
  EXPECT_EQ(-42, Draw(glyph));
}

TEST_F(Glyphs, AButtonsColourFollowsItsState) {
  auto button = KsMakeRef<HcGlyphButton>();
  button->SetSource(SourceOf(WholeImageSet()));
  button->SetOpacity(0.5f);
  ASSERT_EQ(0, Draw(button));
  EXPECT_EQ((KsColorF{1, 1, 1, 1}), scene.renderer->colors.back());
  button->MouseDown();
  ASSERT_EQ(0, Draw(button));
  EXPECT_EQ((KsColorF{1, 1, 1, 1}), scene.renderer->colors.back()) << "pressed, cursor elsewhere";
  button->CursorEntered();
  ASSERT_EQ(0, Draw(button));
  EXPECT_EQ((KsColorF{0.75f, 0.75f, 0.75f, 1}), scene.renderer->colors.back());
  button->SetEnabled(false);
  ASSERT_EQ(0, Draw(button));
  EXPECT_EQ((KsColorF{1, 1, 1, 0.33f}), scene.renderer->colors.back());
}

TEST_F(Glyphs, AClickCompletesOnlyWhenReleasedOverTheButton) {
  auto button = KsMakeRef<HcGlyphButton>();
  auto receiver = KsMakeRef<HcGlyphButton>();
  auto action = KsMakeRef<HcPropertyBinding>();
  action->SetTargetObject(receiver);
  action->SetPropertyName("Payload");
  ASSERT_TRUE(action->IsResolved());
  button->SetAction(action);

  button->CursorEntered();
  button->MouseDown();
  button->CursorExited();
  button->MouseUp();
  EXPECT_FALSE(receiver->GetPayload()) << "press, leave, release";
  EXPECT_FALSE(button->GetPressed());

  button->MouseDown();
  button->CursorExited();
  button->CursorEntered();
  button->MouseUp();
  EXPECT_EQ(button.Get(), receiver->GetPayload().Get()) << "press, leave, enter, release";

  receiver->SetPayload({});
  button->MouseUp();
  EXPECT_FALSE(receiver->GetPayload()) << "a release without a press";

  button->SetEnabled(false);
  button->MouseDown();
  EXPECT_FALSE(button->GetPressed());
  button->MouseUp();
  EXPECT_FALSE(receiver->GetPayload()) << "disabled";
  EXPECT_FALSE(button->GetState()) << "a click never toggles the state";
}

TEST_F(Glyphs, StateSwitchesBetweenTheOnAndOffSources) {
  auto button = KsMakeRef<HcGlyphButton>();
  auto a = SourceOf(WholeImageSet());
  auto b = SourceOf(WholeImageSet());
  button->SetSource(a);
  button->SetState(true);
  EXPECT_EQ(a.Get(), button->GetSource().Get()) << "without OnSource only the state changes";
  button->SetState(false);
  button->SetOnSource(b);
  EXPECT_EQ(a.Get(), button->GetSource().Get()) << "the shown source changes with the next state change";
  button->SetState(true);
  EXPECT_EQ(b.Get(), button->GetSource().Get());
  button->SetState(false);
  EXPECT_EQ(a.Get(), button->GetSource().Get());
  EXPECT_EQ(a.Get(), button->GetOffSource().Get());
}

TEST_F(Glyphs, TextureViewerShowsOneTextureLabelledAndOutlined) {
  auto set = KsMakeRef<StubTextureSet>();
  set->Add(KsRectF(0, 0, 0.5f, 1));
  set->Add(KsRectF(0.5f, 0, 0.5f, 1));
  set->Add(KsRectF(0, 0, 0.5f, 1));
  auto viewer = KsMakeRef<HcTexViewer>();
  EXPECT_TRUE(viewer->GetDrawTileBoundary());
  viewer->SetSource(SourceOf(set));
  viewer->SetFramePercent(KsRectF(0.1f, 0.1f, 0.8f, 0.8f));
  viewer->SetWhichTexture(2);
  ASSERT_EQ(0, Draw(viewer));
  EXPECT_EQ(1, set->textures[2]->activations);
  ASSERT_EQ(1u, scene.renderer->texts.size());
  EXPECT_EQ("Tex #2", scene.renderer->texts[0].text);
  EXPECT_FLOAT_EQ(50.0f, scene.renderer->texts[0].x);
  EXPECT_FLOAT_EQ(30.0f, scene.renderer->texts[0].y);
  // The tile (the left half of the image, which the texture holds whole)
  // is outlined in green along the quad's left and right edges.
  const std::vector<uint8_t> rgba = scene.ReadRGBA();
  const auto green = [&](int x, int y) {
    const uint8_t* p = &rgba[(static_cast<size_t>(y) * 100 + x) * 4];
    return p[1] > 200 && p[0] < 60 && p[2] < 60;
  };
  int leftEdge = 0;
  int rightEdge = 0;
  for (int y = 10; y < 50; ++y) {
    leftEdge += green(9, y) || green(10, y) || green(11, y);
    rightEdge += green(88, y) || green(89, y) || green(90, y);
  }
  EXPECT_GT(leftEdge, 30);
  EXPECT_GT(rightEdge, 30);

  viewer->SetDrawTileBoundary(false);
  scene.renderer->Forget();
  ASSERT_EQ(0, Draw(viewer));
  EXPECT_EQ(1u, scene.renderer->texts.size());
  for (const KsColorF& color : scene.renderer->colors) EXPECT_NE((KsColorF{0, 1, 0, 1}), color);

  viewer->SetWhichTexture(3);
  scene.renderer->Forget();
  EXPECT_EQ(-2, Draw(viewer));
  EXPECT_TRUE(scene.renderer->texts.empty());
}

}  // namespace
