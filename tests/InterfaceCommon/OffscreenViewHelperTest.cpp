// The off-screen view helper: its own OpenGL context and drawable, the
// renderer configured from the start, copies that only succeed for drawn
// frames, and OpenGL resources that go with the helper.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "EquirectangularGrid.h"
#include "General/HcClassMap.h"
#include "InterfaceCommon/GLPbufferContextMac.h"
#include "InterfaceCommon/HcContextHelper.h"
#include "KsTrace.h"
#include "RegisterAllClasses.h"
#include "Renderer/AppleOpenGLRenderer.h"
#include "SceneTestSupport.h"

namespace {

TEST(OffscreenViewHelper, ItsRendererIsConfiguredWhenItIsMade) {
  RegisterAllClasses();
  KsRef<GLPbufferContextMac> helper = MakeObject<GLPbufferContextMac>(PWStringRef("GLPbufferContextMac"));
  ASSERT_TRUE(helper);
  ASSERT_TRUE(helper->GetContextCreated());
  auto context = MakeObject<HcContextHelper>(PWStringRef("HcContextHelper"));
  helper->SetContext(context);
  // The first activation makes the renderer; it is ready to draw at once.
  ASSERT_EQ(0, helper->SetActive(true));
  KsRef<AppleOpenGLRenderer> renderer = helper->GetRenderer().DynamicCast<AppleOpenGLRenderer>();
  ASSERT_TRUE(renderer);
  EXPECT_TRUE(helper->GetRendererConfigured());
  EXPECT_TRUE(renderer->GetGlContext());
  EXPECT_TRUE(renderer->GetGlPixelFormat());

  // So is a renderer set later.
  auto other = KsMakeRef<AppleOpenGLRenderer>();
  ASSERT_EQ(0, helper->SetRenderer(other));
  EXPECT_EQ(renderer->GetGlContext(), other->GetGlContext());
}

class OffscreenCopyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(scene.Make(kWidth, kHeight, MakeEquirectangularGrid(256, 128))) << scene.failure;
    KsTrace::LoadSettings(PWStringRef(), true);
    KsTrace::SetOutputSink([this](const std::string& line) { trace += line + "\n"; });
  }
  void TearDown() override {
    KsTrace::SetOutputSink({});
    KsTrace::ResetSettings();
  }
  bool Copy(std::vector<uint8_t>& pixels, size_t rowBytes) {
    return scene.helper->CopyFrameBufferToRenderPort({pixels.data(), pixels.size(), rowBytes});
  }

  static constexpr int kWidth = 48;
  static constexpr int kHeight = 36;
  OffscreenScene scene;
  std::string trace;
};

TEST_F(OffscreenCopyTest, ACopyOfNothingDrawnFailsAndLeavesTheBufferAlone) {
  std::vector<uint8_t> pixels(kWidth * kHeight * 4, 0xAB);
  EXPECT_FALSE(Copy(pixels, kWidth * 4));
  EXPECT_EQ(std::vector<uint8_t>(pixels.size(), 0xAB), pixels);

  ASSERT_EQ(0, scene.helper->Draw());
  EXPECT_TRUE(Copy(pixels, kWidth * 4));
  // A new size throws the picture away until the next frame.
  ASSERT_EQ(0, scene.helper->Resize(0, 0, kWidth, kHeight));
  EXPECT_FALSE(Copy(pixels, kWidth * 4));

  ASSERT_EQ(0, scene.helper->Draw());
  EXPECT_FALSE(scene.helper->CopyFrameBufferToRenderPort({nullptr, pixels.size(), kWidth * 4}));
  EXPECT_NE(std::string::npos, trace.find("BaseAddr not set in CopyFrameBufferToRenderPort!")) << trace;
  std::vector<uint8_t> small(kWidth * kHeight * 4 - 1, 0xAB);
  EXPECT_FALSE(Copy(small, kWidth * 4));
  EXPECT_EQ(std::vector<uint8_t>(small.size(), 0xAB), small);
}

TEST_F(OffscreenCopyTest, CopiesTheDrawnFrameTopRowFirstInBGRA) {
  // No viewset: the frame is the renderer's background, here red.
  auto context = MakeObject<HcContextHelper>(PWStringRef("HcContextHelper"));
  scene.helper->SetContext(context);
  scene.helper->GetRenderer()->SetBackgroundColor({1.0f, 0.0f, 0.0f, 1.0f});
  context->SetRenderer(scene.helper->GetRenderer());
  ASSERT_FALSE(AppErrFailed(scene.helper->Draw()));
  const size_t rowBytes = kWidth * 4 + 8;  // rows with padding
  std::vector<uint8_t> pixels(rowBytes * kHeight, 0);
  ASSERT_TRUE(Copy(pixels, rowBytes));
  for (int y : {0, kHeight - 1}) {
    for (int x : {0, kWidth - 1}) {
      const uint8_t* p = &pixels[y * rowBytes + x * 4];
      EXPECT_EQ(0, p[0]);
      EXPECT_EQ(0, p[1]);
      EXPECT_EQ(255, p[2]);
    }
  }
}

TEST_F(OffscreenCopyTest, TheSceneTurnsWithItsMainView) {
  const TestImage ahead = scene.Draw();
  ASSERT_FALSE(ahead.Empty());
  EXPECT_EQ(kWidth, ahead.width);
  EXPECT_EQ(kHeight, ahead.height);
  EXPECT_GT(ShareDifferent(ahead, TestImage::Blank(kWidth, kHeight, 3), 20), 0.9);
  EXPECT_LT(ShareDifferent(ahead, scene.Draw(), 0), 1e-9);
  scene.Main()->SetPanAngle(scene.Main()->GetPanAngle() + 90.0f);
  EXPECT_GT(ShareDifferent(ahead, scene.Draw(), 20), 0.5);
}

TEST(OffscreenViewHelper, LetsGoOfItsOpenGLResources) {
  OffscreenScene scene;
  ASSERT_TRUE(scene.Make(32, 24, MakeEquirectangularGrid(128, 64))) << scene.failure;
  ASSERT_EQ(0, scene.helper->Draw());
  KsRef<AppleOpenGLRenderer> renderer = scene.context->GetRenderer().DynamicCast<AppleOpenGLRenderer>();
  ASSERT_TRUE(renderer);
  ASSERT_TRUE(renderer->GetGlContext());

  // Released explicitly: no renderer, no context, nothing to draw with.
  scene.helper->ReleaseGLResources();
  EXPECT_FALSE(scene.helper->GetRenderer());
  EXPECT_FALSE(scene.helper->GetContextCreated());
  EXPECT_FALSE(renderer->GetGlContext());
  EXPECT_EQ(HcViewHelper::kNoSurface, scene.helper->Draw());

  // Destroyed without a release: the renderer the scene keeps is unhooked too.
  OffscreenScene second;
  ASSERT_TRUE(second.Make(32, 24, MakeEquirectangularGrid(128, 64))) << second.failure;
  ASSERT_EQ(0, second.helper->Draw());
  KsRef<AppleOpenGLRenderer> kept = second.context->GetRenderer().DynamicCast<AppleOpenGLRenderer>();
  ASSERT_TRUE(kept && kept->GetGlContext());
  second.helper = nullptr;
  EXPECT_FALSE(kept->GetGlContext());
}

}  // namespace
