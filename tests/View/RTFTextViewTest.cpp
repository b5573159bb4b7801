#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>

#include "General/KsData.h"
#include "OverlayTestSupport.h"
#include "Responder/MouseIgnoreResponder.h"
#include "View/RTFTextView.h"
#include "platform/gl/GlContext.h"

namespace {

constexpr int kRTFTextWidth = 320;
constexpr int kRTFTextHeight = 160;
const uint8_t kBlack[3] = {0, 0, 0};

KsRef<KsData> DataOf(const std::string& text) {
  auto data = KsMakeRef<KsData>();
  data->SetLength(static_cast<uint32_t>(text.size()));
  data->SetBytes(text.data());
  return data;
}

const char* kCaption = R"({\rtf1{\fonttbl\f0\fswiss Helvetica;}\f0\fs40 Great hall})";

class Captions : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(scene.Make(kRTFTextWidth, kRTFTextHeight));
    view = KsMakeRef<RTFTextView>();
    view->SetRTFData(DataOf(kCaption));
    view->SetFrame(KsRectF(0, 0, kRTFTextWidth, kRTFTextHeight));
  }
  eAppErr Draw() {
    return scene.Frame([&] { return view->Draw(scene.renderer); });
  }
  PixelBox Ink() { return InkBox(scene.ReadRGBA(), kRTFTextWidth, kRTFTextHeight, kBlack); }

  OverlayScene scene;
  KsRef<RTFTextView> view;
};

TEST_F(Captions, InkLiesWhereTheAlignmentPutsTheText) {
  ASSERT_EQ(0, Draw());
  ASSERT_NE(0u, view->GetTextureName());
  const int w = view->GetTextureWidth();
  const int h = view->GetTextureHeight();
  ASSERT_GT(w, 60);
  ASSERT_GT(h, 15);
  // Centred both ways by default, within a pixel or two.
  PixelBox ink = Ink();
  ASSERT_FALSE(ink.Empty());
  EXPECT_NEAR(kRTFTextWidth / 2.0f, ink.CentreX(), 2.5f);
  EXPECT_GE(ink.y0, (kRTFTextHeight - h) / 2 - 1);
  EXPECT_LE(ink.y1, (kRTFTextHeight + h) / 2 + 1);
  // Right and bottom.
  view->SetAlignment(RTFTextView::kAlignRight | RTFTextView::kAlignBottom);
  ASSERT_EQ(0, Draw());
  ink = Ink();
  EXPECT_GE(ink.x1, kRTFTextWidth - 4);
  EXPECT_GE(ink.x0, kRTFTextWidth - w - 1);
  EXPECT_GE(ink.y0, kRTFTextHeight - h - 1);
  // Top left: no ink outside the texture's rectangle.
  view->SetAlignment(0);
  ASSERT_EQ(0, Draw());
  ink = Ink();
  EXPECT_LE(ink.x0, 4);
  EXPECT_LE(ink.x1, w + 1);
  EXPECT_LE(ink.y1, h + 1);
  EXPECT_EQ(1u, view->GetRasterizeCount()) << "alignment is placement only";
}

TEST_F(Captions, BoldIsHeavierThanRegular) {
  ASSERT_EQ(0, Draw());
  const double regular = InkAmount(scene.ReadRGBA(), kBlack);
  view->SetRTFData(DataOf(R"({\rtf1{\fonttbl\f0\fswiss Helvetica;}\f0\fs40\b Great hall})"));
  ASSERT_EQ(0, Draw());
  EXPECT_GT(InkAmount(scene.ReadRGBA(), kBlack), regular * 1.2);
}

TEST_F(Captions, RasterisedOncePerSizeAndContentNeverPerRefresh) {
  for (int i = 0; i < 5; ++i) ASSERT_EQ(0, Draw());
  EXPECT_EQ(1u, view->GetRasterizeCount());
  // Without ScaleText a new frame changes nothing.
  view->SetFrame(KsRectF(0, 0, 200, 100));
  ASSERT_EQ(0, Draw());
  EXPECT_EQ(1u, view->GetRasterizeCount());
  // New text or colours are rasterised on the next draw, once.
  view->SetTextColor({1, 0, 0, 1});
  ASSERT_EQ(0, Draw());
  ASSERT_EQ(0, Draw());
  EXPECT_EQ(2u, view->GetRasterizeCount());
  view->SetBackgroundColor({0, 0, 1, 1});
  view->SetRTFData(DataOf(R"({\rtf1 Stairs})"));
  ASSERT_EQ(0, Draw());
  EXPECT_EQ(3u, view->GetRasterizeCount());
  // The whole texture rectangle is filled with a visible background (blue,
  // under red letters), and nothing around it.
  const std::vector<uint8_t> rgba = scene.ReadRGBA();
  int filled = 0;
  for (size_t i = 0; i < rgba.size(); i += 4) filled += std::max(rgba[i], rgba[i + 2]) > 100;
  const int w = view->GetTextureWidth();
  const int h = view->GetTextureHeight();
  EXPECT_GE(filled, w * h * 95 / 100);
  // Half a pixel of filtering on each side at most.
  EXPECT_LE(filled, (w + 2) * (h + 2));
  // Setting the same data again is no change.
  view->SetRTFData(view->GetRTFData());
  ASSERT_EQ(0, Draw());
  EXPECT_EQ(3u, view->GetRasterizeCount());
}

TEST_F(Captions, ScaledTextIsRerenderedOrMagnified) {
  view->SetScaleText(true);
  view->SetFrame(KsRectF(0, 0, 160, 80));
  ASSERT_EQ(0, Draw());
  EXPECT_EQ((KsSizeF{160, 80}), view->GetStdDrawSize());
  const int w1 = view->GetTextureWidth();
  const PixelBox small = Ink();
  view->SetFrame(KsRectF(0, 0, 320, 160));
  ASSERT_EQ(0, Draw());
  EXPECT_FLOAT_EQ(2.0f, view->GetScale());
  EXPECT_NEAR(2 * w1, view->GetTextureWidth(), 2);
  EXPECT_EQ(2u, view->GetRasterizeCount());
  ASSERT_EQ(0, Draw());
  EXPECT_EQ(2u, view->GetRasterizeCount());
  // The smaller ratio wins.
  view->SetFrame(KsRectF(0, 0, 320, 80));
  ASSERT_EQ(0, Draw());
  EXPECT_FLOAT_EQ(1.0f, view->GetScale());

  // Magnified: the first rendering stays and is shown twice as large.
  auto magnified = KsMakeRef<RTFTextView>();
  magnified->SetRTFData(DataOf(kCaption));
  magnified->SetScaleText(true);
  magnified->SetBitmapScaling(true);
  magnified->SetFrame(KsRectF(0, 0, 160, 80));
  ASSERT_EQ(0, scene.Frame([&] { return magnified->Draw(scene.renderer); }));
  magnified->SetFrame(KsRectF(0, 0, 320, 160));
  ASSERT_EQ(0, scene.Frame([&] { return magnified->Draw(scene.renderer); }));
  EXPECT_EQ(1u, magnified->GetRasterizeCount());
  EXPECT_EQ(w1, magnified->GetTextureWidth());
  const PixelBox large = Ink();
  EXPECT_NEAR(2.0 * (small.x1 - small.x0), large.x1 - large.x0, 4);
  // A frame without area shows nothing and builds nothing.
  magnified->SetFrame(KsRectF(0, 0, 0, 0));
  EXPECT_EQ(0, scene.Frame([&] { return magnified->Draw(scene.renderer); }));
  EXPECT_EQ(1u, magnified->GetRasterizeCount());
}

TEST_F(Captions, RtfThatDoesNotReadDrawsNothing) {
  for (const char* bad : {"Great hall", "{\\rtf1 \\'zz}", ""}) {
    view->SetRTFData(DataOf(bad));
    EXPECT_EQ(0, Draw()) << bad;
    EXPECT_EQ(0u, view->GetTextureName()) << bad;
    EXPECT_TRUE(Ink().Empty()) << bad;
  }
  view->SetRTFData({});
  EXPECT_EQ(0, Draw());
  EXPECT_EQ(0u, view->GetRasterizeCount());
}

TEST_F(Captions, TexturesGoThroughTheRenderersQueue) {
  ASSERT_EQ(0, Draw());
  const GLuint name = view->GetTextureName();
  ASSERT_TRUE(glIsTexture(name));
  GLint rowLength = -1;
  glGetIntegerv(GL_UNPACK_ROW_LENGTH, &rowLength);
  EXPECT_EQ(0, rowLength) << "the unpack row length is restored";
  // Released on another thread, where no context is current: nothing is
  // deleted there, the name waits for the renderer's next frame.
  std::thread([released = std::move(view)]() mutable { released = nullptr; }).join();
  EXPECT_TRUE(glIsTexture(name));
  scene.Frame([] { return 0; });
  EXPECT_FALSE(glIsTexture(name));
}

TEST_F(Captions, WithoutAContextNothingIsMadeUntilTheNextBuild) {
  ASSERT_EQ(hc::gl::GlError::None, hc::gl::GlContext::ClearCurrent());
  view->SetScaleText(true);
  EXPECT_EQ(0, view->Draw(scene.renderer));
  EXPECT_EQ(0u, view->GetTextureName());
  ASSERT_EQ(hc::gl::GlError::None, scene.drawing.context->MakeCurrent());
  ASSERT_EQ(0, Draw());
  EXPECT_EQ(0u, view->GetTextureName()) << "no build is due yet";
  view->SetFrame(KsRectF(0, 0, 300, 150));
  ASSERT_EQ(0, Draw());
  EXPECT_NE(0u, view->GetTextureName());
}

TEST(Caption, DefaultsAndTransparentResponder) {
  auto view = KsMakeRef<RTFTextView>();
  auto responder = view->GetMouseResponder().DynamicCast<MouseIgnoreResponder>();
  ASSERT_TRUE(responder);
  EXPECT_TRUE(responder->GetTransparent());
  EXPECT_EQ(10u, view->GetAlignment());
  EXPECT_EQ((KsColorF{1, 1, 1, 1}), view->GetTextColor());
  EXPECT_EQ((KsColorF{0, 0, 0, 0}), view->GetBackgroundColor());
  EXPECT_FALSE(view->GetScaleText());
  EXPECT_FALSE(view->GetBitmapScaling());
  EXPECT_EQ((KsSizeF{0, 0}), view->GetStdDrawSize());
  EXPECT_EQ(-903, view->Draw({}));
}

}  // namespace
