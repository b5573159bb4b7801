#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "OverlayTestSupport.h"
#include "Projection/EquirectangularProj.h"
#include "View/PerspectiveViewOpenGL.h"
#include "ViewPictureSupport.h"
#include "Utilities/HcPropertyBinding.h"
#include "View/HcPolygons.h"
#include "View/TextDisplay.h"

namespace {

KsRef<HcPropertyBinding> BindingTo(const KsRef<KsObject>& target, const char* name) {
  auto binding = KsMakeRef<HcPropertyBinding>();
  binding->SetTargetObject(target);
  binding->SetPropertyName(name);
  return binding;
}

TEST(TextDisplay, TakesFormatsOfOneFloatingPointConversion) {
  const struct {
    const char* format;
    bool accepted;
  } cases[] = {
      {"%.2f", true},      {"%f", true},           {"%5.1f deg", true},   {"pan %+08.3e%%", true},
      {"%g", true},        {"%lf", true},          {"%% %A", true},       {"%-#10.0f", true},
      {"", false},         {"no value", false},    {"%s", false},         {"%n", false},
      {"%d", false},       {"%f %f", false},       {"%*f", false},        {"%.*f", false},
      {"%1$f", false},     {"%Lf", false},         {"%", false},          {"%99f", false},
      {"%.100f", false},   {"%%", false},          {"%f%", false},        {"%64.64f", true},
  };
  auto display = KsMakeRef<TextDisplay>();
  for (const auto& c : cases) {
    EXPECT_EQ(c.accepted, TextDisplay::IsValueFormat(c.format)) << c.format;
    EXPECT_EQ(c.accepted ? 0 : -2, display->SetFormatString(PWStringRef(c.format))) << c.format;
  }
  EXPECT_EQ("%64.64f", std::string(display->GetFormatString().View())) << "a refused format keeps the one held";
  EXPECT_EQ(0, display->SetFormatString(PWStringRef()));
}

TEST(TextDisplay, RefusesBindingsThatAreNotToAFloat) {
  auto display = KsMakeRef<TextDisplay>();
  auto target = KsMakeRef<StubPanoView>();
  auto good = BindingTo(target, "PanAngle");
  ASSERT_EQ(0, display->SetPropertyBinding(good));
  EXPECT_EQ(-2, display->SetPropertyBinding(BindingTo(target, "Hidden")));
  EXPECT_EQ(-2, display->SetPropertyBinding(BindingTo(KsMakeRef<TextDisplay>(), "FormatString")));
  auto unresolved = KsMakeRef<HcPropertyBinding>();
  unresolved->SetPropertyName("PanAngle");
  EXPECT_EQ(-2, display->SetPropertyBinding(unresolved));
  EXPECT_EQ(good.Get(), display->GetPropertyBinding().Get());
  EXPECT_EQ(0, display->SetPropertyBinding({}));
  EXPECT_FALSE(display->GetPropertyBinding());
}

class TextDisplays : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(scene.Make(200, 100)); }
  eAppErr Draw(const KsRef<HcVectorObject>& object) {
    return scene.Frame([&] {
      scene.renderer->SetViewport({0, 0, 200, 100});
      scene.renderer->Ortho2D(KsRectF(0, 0, 200, 100), true);
      scene.renderer->ModelViewIdentity();
      scene.renderer->SetColor(1, 1, 1, 1);
      return object->Draw({0, 0, 200, 100}, {}, scene.renderer, -0.9f);
    });
  }
  OverlayScene scene;
};

TEST_F(TextDisplays, ShowsTheBoundValueAtItsPoint) {
  auto display = KsMakeRef<TextDisplay>();
  EXPECT_EQ(0, Draw(display)) << "without a binding nothing is drawn";
  EXPECT_TRUE(scene.renderer->texts.empty());

  auto target = KsMakeRef<StubPanoView>();
  target->SetLookConstraints(0);
  target->SetVFOV(89.6f);
  ASSERT_EQ(0, display->SetPropertyBinding(BindingTo(target, "VFOV")));
  ASSERT_EQ(0, display->SetFormatString(PWStringRef("%.0f deg")));
  display->SetDrawPointPercent({0.5f, 0.5f});
  ASSERT_EQ(0, Draw(display));
  ASSERT_EQ(1u, scene.renderer->texts.size());
  EXPECT_EQ("90 deg", scene.renderer->texts[0].text);
  EXPECT_FLOAT_EQ(100.0f, scene.renderer->texts[0].x);
  EXPECT_FLOAT_EQ(50.0f, scene.renderer->texts[0].y);
  EXPECT_FLOAT_EQ(-0.9f, scene.renderer->texts[0].z);

  // The text appears with its top-left corner at the point, and nowhere else.
  const uint8_t black[3] = {0, 0, 0};
  const PixelBox ink = InkBox(scene.ReadRGBA(), 200, 100, black);
  ASSERT_FALSE(ink.Empty());
  EXPECT_NEAR(100, ink.x0, 3);
  EXPECT_NEAR(50, ink.y0, 6);
  EXPECT_LT(ink.y1, 75);
  EXPECT_GT(ink.x1, 130);

  // Steady frames rasterise no glyph again.
  const uint64_t glyphs = scene.renderer->GetRasterisedGlyphCount();
  for (int i = 0; i < 3; ++i) ASSERT_EQ(0, Draw(display));
  EXPECT_EQ(glyphs, scene.renderer->GetRasterisedGlyphCount());

  // The default format shows two decimals.
  auto plain = KsMakeRef<TextDisplay>();
  ASSERT_EQ(0, plain->SetPropertyBinding(BindingTo(target, "VFOV")));
  scene.renderer->Forget();
  ASSERT_EQ(0, Draw(plain));
  EXPECT_EQ("89.60", scene.renderer->texts.at(0).text);
  EXPECT_FLOAT_EQ(0.0f, scene.renderer->texts.at(0).x);
}

TEST_F(TextDisplays, AGoneTargetIsAFailure) {
  auto display = KsMakeRef<TextDisplay>();
  auto target = KsMakeRef<StubPanoView>();
  auto binding = BindingTo(target, "PanAngle");
  ASSERT_EQ(0, display->SetPropertyBinding(binding));
  binding->SetTargetObject({});
  EXPECT_EQ(-903, Draw(display));
}

TEST_F(TextDisplays, RenderTextLeavesTheDrawingStateAsItFoundIt) {
  scene.Frame([&] {
    glEnable(GL_DEPTH_TEST);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
    scene.renderer->Ortho2D(KsRectF(0, 0, 1, 1), true);
    scene.renderer->ModelViewIdentity();
    EXPECT_EQ(0, scene.renderer->RenderText(0.5f, 0.5f, 1.0f, PWStringRef("pan=1.00")));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    GLint env = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
    EXPECT_EQ(GL_DECAL, env);
    scene.renderer->ModelViewIdentity();
    GLdouble projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    EXPECT_NEAR(2.0, projection[0], 1e-9) << "the unit square's projection is back";
    return 0;
  });
  const uint8_t black[3] = {0, 0, 0};
  const PixelBox ink = InkBox(scene.ReadRGBA(), 200, 100, black);
  ASSERT_FALSE(ink.Empty());
  EXPECT_NEAR(100, ink.x0, 3);
  EXPECT_NEAR(50, ink.y0, 6);
  EXPECT_EQ(0, scene.renderer->RenderText(0, 0, 0, PWStringRef()));
}

}  // namespace

namespace {

// The perspective view's look position shows now that the renderer draws
// text: ink around the frame's centre that the plain picture doesn't have.
TEST(LookPosition, AppearsOverThePicture) {
  ViewScene scene;
  ASSERT_TRUE(scene.Make(320, 160, TestImage::Blank(256, 128, 3), KsMakeRef<EquirectangularProj>()));
  auto view = KsMakeRef<PerspectiveViewOpenGL>();
  view->SetSource(scene.source);
  const TestImage plain = scene.Draw(view);
  ASSERT_FALSE(plain.Empty());
  view->SetDrawLookPosition(true);
  const TestImage labelled = scene.Draw(view);
  ASSERT_FALSE(labelled.Empty());
  int x0 = 320, x1 = 0, y0 = 160, y1 = 0;
  for (int y = 0; y < 160; ++y) {
    for (int x = 0; x < 320; ++x) {
      const size_t i = (static_cast<size_t>(y) * 320 + x) * 3;
      if (std::abs(labelled.pixels[i] - plain.pixels[i]) > 40) {
        x0 = std::min(x0, x);
        x1 = std::max(x1, x + 1);
        y0 = std::min(y0, y);
        y1 = std::max(y1, y + 1);
      }
    }
  }
  ASSERT_LT(x0, x1) << "no text drawn";
  // "pan=0.00 tilt=0.00 vfov=90.00" starts at the centre and reads rightward.
  EXPECT_NEAR(160, x0, 3);
  EXPECT_GT(x1, 260);
  EXPECT_NEAR(80, y0, 6);
  EXPECT_LT(y1, 110);
}

}  // namespace
