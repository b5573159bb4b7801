#include <gtest/gtest.h>

#include "OverlayTestSupport.h"
#include "View/ViewOutliner.h"

namespace {

class Outliners : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(scene.Make(64, 64));
    outlined = KsMakeRef<StubPanoView>();
    // Directions pan = x / 2, tilt = -y / 2 over a frame 40 x 20 at (10, 20).
    outlined->SetFrame(KsRectF(10, 20, 40, 20));
    context = KsMakeRef<StubPanoView>();
    outliner = KsMakeRef<ViewOutliner>();
    outliner->SetOutlinedView(outlined);
  }
  KsRef<InspectableBuffer> Make(const KsRect<int32_t>& frame = {0, 5, 64, 30}) {
    return outliner->MakeVertexBuffer(frame, context, scene.renderer, -0.5f).DynamicCast<InspectableBuffer>();
  }
  OverlayScene scene;
  KsRef<StubPanoView> outlined;
  KsRef<StubPanoView> context;
  KsRef<ViewOutliner> outliner;
};

TEST_F(Outliners, OneClosedPolygonPerImageOfTheContextView) {
  context->images = 3;
  KsRef<InspectableBuffer> buffer = Make();
  ASSERT_TRUE(buffer);
  EXPECT_EQ(40u, buffer->GetVerticesPerStrip());
  EXPECT_EQ(3u, buffer->GetStripCount());
  EXPECT_EQ(ViewOutliner::kPolygonMode, buffer->GetDrawMode());
  EXPECT_FALSE(buffer->GetUseTexCoords());
  // The walk runs clockwise from the top-left corner; each direction comes
  // back through the context view into the vector view (y flipped about
  // the frame: H - y + 2 Y0).
  const auto& positions = buffer->Positions();
  const auto& directions = outliner->GetDirections();
  ASSERT_EQ(40u, directions.size());
  EXPECT_EQ((KsPointF{5, -10}), directions[0]);
  EXPECT_EQ((KsPointF{25, -10}), directions[10]);
  EXPECT_EQ((KsPointF{25, -20}), directions[20]);
  for (uint32_t strip = 0; strip < 3; ++strip) {
    for (uint32_t v : {0u, 10u, 25u}) {
      const auto& p = positions[strip * 40 + v];
      EXPECT_FLOAT_EQ(directions[v].x * 2 + 1000.0f * strip, p.x);
      EXPECT_FLOAT_EQ(30.0f - (-directions[v].y * 2) + 10.0f, p.y);
      EXPECT_FLOAT_EQ(-0.5f, p.z);
    }
  }
}

TEST_F(Outliners, ClosesAlongTheEdgeWhenALimitIsReached) {
  // The directions' smallest pan lies at index 0 (the left edge, top-left
  // corner first); its successor rises more than its predecessor, so the
  // walk runs backward and continues at index N - 1.
  outlined->atUpper = true;
  KsRef<InspectableBuffer> buffer = Make({0, 5, 64, 30});
  ASSERT_TRUE(buffer);
  EXPECT_EQ(42u, buffer->GetVerticesPerStrip());
  EXPECT_EQ(1u, buffer->GetStripCount());
  const auto& p = buffer->Positions();
  const auto& d = outliner->GetDirections();
  EXPECT_FLOAT_EQ(d[0].x * 2, p[0].x);
  EXPECT_FLOAT_EQ(d[39].x * 2, p[1].x) << "backward from index 0";
  EXPECT_FLOAT_EQ(5.0f, p[40].y) << "the top edge";
  EXPECT_FLOAT_EQ(p[39].x, p[40].x);
  EXPECT_FLOAT_EQ(p[0].x, p[41].x);
  outlined->atUpper = false;
  outlined->atLower = true;
  buffer = Make({0, 5, 64, 30});
  ASSERT_TRUE(buffer);
  EXPECT_FLOAT_EQ(35.0f, buffer->Positions()[41].y) << "the bottom edge";
}

TEST_F(Outliners, RecomputesOnlyWhatALookChangeTouches) {
  ASSERT_TRUE(Make());
  const int calls = context->pointCalls;
  ASSERT_TRUE(Make());
  EXPECT_EQ(calls, context->pointCalls) << "nothing moved";
  context->generation = 2;
  ASSERT_TRUE(Make());
  EXPECT_EQ(2 * calls, context->pointCalls);
  outlined->SetFrame(KsRectF(10, 20, 80, 20));
  outlined->generation = 5;
  ASSERT_TRUE(Make());
  EXPECT_EQ((KsPointF{45, -20}), outliner->GetDirections()[20]);
  EXPECT_EQ(1, scene.renderer->buffersMade);
}

TEST_F(Outliners, DrawsNothingWithoutItsViews) {
  EXPECT_TRUE(Make());
  EXPECT_FALSE(outliner->MakeVertexBuffer({0, 0, 64, 64}, {}, scene.renderer, 0));
  outlined = nullptr;
  EXPECT_FALSE(outliner->GetOutlinedView()) << "the outliner never keeps the view alive";
  EXPECT_FALSE(Make());
  EXPECT_EQ(0, scene.Frame([&] { return outliner->Draw({0, 0, 64, 64}, context, scene.renderer, 0); }));
}

TEST_F(Outliners, GuardsAgainstEmptyFramesAndSides) {
  outlined->SetFrame(KsRectF(10, 20, 0, 0));
  EXPECT_FALSE(Make());
  EXPECT_EQ(-2, outliner->SetPointsPerSide(0));
  EXPECT_EQ(-2, outliner->SetPointsPerSide(ViewOutliner::kMaxPointsPerSide + 1));
  EXPECT_EQ(10u, outliner->GetPointsPerSide());
  EXPECT_EQ(0, outliner->SetPointsPerSide(1));
  outlined->SetFrame(KsRectF(10, 20, 40, 20));
  KsRef<InspectableBuffer> buffer = Make();
  ASSERT_TRUE(buffer);
  EXPECT_EQ(4u, buffer->GetVerticesPerStrip());
}

TEST_F(Outliners, DefaultsDrawABlueTwoPixelOutline) {
  EXPECT_TRUE(outliner->GetDrawOutline());
  EXPECT_FALSE(outliner->GetDrawFill());
  EXPECT_EQ((KsColorF{0, 0, 1, 1}), outliner->GetOutlineColor());
  EXPECT_EQ((KsColorF{0, 0, 0, 1}), outliner->GetFillColor());
  EXPECT_EQ(2.0f, outliner->GetOutlineWidth());
  EXPECT_FALSE(outliner->ContainsPoint({0, 0, 64, 64}, context, {1, 1}));
  // A frame-sized outline drawn into the vector view shows blue lines.
  outlined->SetFrame(KsRectF(10, 10, 20, 20));
  ASSERT_EQ(0, scene.Frame([&] {
    scene.renderer->SetViewport({0, 0, 64, 64});
    scene.renderer->Ortho2D(KsRectF(0, 0, 64, 64), true);
    scene.renderer->ModelViewIdentity();
    return outliner->Draw({0, 0, 64, 64}, context, scene.renderer, 0);
  }));
  const std::vector<uint8_t> rgba = scene.ReadRGBA();
  int blue = 0;
  for (size_t i = 0; i < rgba.size(); i += 4) blue += rgba[i + 2] > 200 && rgba[i] < 50;
  EXPECT_GT(blue, 40);
}

}  // namespace
