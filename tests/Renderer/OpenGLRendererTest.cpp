#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "General/HcClassMap.h"
#include "Renderer/PixelFormatArbiter.h"
#include "RendererTestSupport.h"
#include "Source/BufferSource.h"
#include "Utilities/HcProperty.h"

namespace {

class OpenGLRendererTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(drawing.Make(64, 32)); }
  AppleOpenGLRenderer& R() { return *drawing.renderer; }
  DrawingRenderer drawing;
};

GLint GetInt(GLenum name) {
  GLint value = 0;
  glGetIntegerv(name, &value);
  return value;
}

TEST_F(OpenGLRendererTest, NewRendererDefaults) {
  auto fresh = MakeObject<PanoRenderer>("oglrenderer");
  ASSERT_TRUE(fresh);
  EXPECT_TRUE(fresh.DynamicCast<AppleOpenGLRenderer>());
  EXPECT_EQ((KsColorF{0, 0, 0, 1}), fresh->GetBackgroundColor());
  EXPECT_EQ(1.0f, fresh->GetPixelAspectRatio());
  EXPECT_FALSE(fresh->GetIsDirty());
  EXPECT_EQ(0u, fresh->GetUpdateCycle());
  int32_t w = 0, h = 0;
  EXPECT_EQ(0, fresh->GetDrawableSize(&w, nullptr));
  EXPECT_EQ(0, fresh->GetDrawableSize(nullptr, &h));
  EXPECT_EQ(0, fresh->GetDrawableSize(nullptr, nullptr));
  EXPECT_EQ(1, w);
  EXPECT_EQ(1, h);
  auto apple = fresh.DynamicCast<AppleOpenGLRenderer>();
  EXPECT_EQ(0, apple->GetSwapInterval());
  EXPECT_EQ(0, apple->SetSwapInterval(1));
  EXPECT_EQ(0, apple->GetSwapInterval());
  EXPECT_EQ(0u, apple->GetDisplayLinkNextOutputTime().hostTime);
  EXPECT_FALSE(MakeObject<PanoRenderer>("OpenGLRenderer"));
  EXPECT_FALSE(MakeObject<PanoRenderer>("RendererBase"));
}

TEST_F(OpenGLRendererTest, SwapIntervalGoesToTheContext) {
  EXPECT_EQ(0, R().SetSwapInterval(1));
  EXPECT_EQ(1, R().GetSwapInterval());
}

TEST_F(OpenGLRendererTest, UpdateCycleCountsFramesAndIsReadOnly) {
  for (int i = 0; i < 3; ++i) {
    RendererUpdateScope frame(drawing.renderer);
    ASSERT_EQ(0, frame.Result());
  }
  EXPECT_EQ(3u, R().GetUpdateCycle());
  KsRef<HcProperty> property;
  R().GetClassObject()->GetPropertyForPropertyName(property, "UpdateCycle");
  ASSERT_TRUE(property);
  EXPECT_EQ(-102, property->SetValue(&R(), uint32_t{9}));
}

TEST_F(OpenGLRendererTest, PointerPropertiesAreNeverSetFromText) {
  for (const char* name : {"CGLContext", "CGLPixelFormat", "DisplayLinkNextOutputTime"}) {
    KsRef<HcProperty> property;
    R().GetClassObject()->GetPropertyForPropertyName(property, name);
    ASSERT_TRUE(property) << name;
    EXPECT_LT(property->SetValue(&R(), PWStringRef("0x1234")), 0) << name;
    EXPECT_FALSE(property->GetShouldSerialize()) << name;
  }
  EXPECT_EQ(drawing.context.get(), R().GetGlContext());
}

TEST_F(OpenGLRendererTest, NextOutputTimeCopiesWholeRecords) {
  KsRef<HcProperty> property;
  R().GetClassObject()->GetPropertyForPropertyName(property, "DisplayLinkNextOutputTime");
  hc::gl::DisplayTimeStamp in{};
  in.hostTime = 123456789;
  in.videoTimeScale = 600;
  ASSERT_EQ(0, property->SetValue(&R(), static_cast<void*>(&in)));
  hc::gl::DisplayTimeStamp out{};
  void* record = &out;
  ASSERT_EQ(0, property->GetValue(&R(), &record));
  EXPECT_EQ(123456789u, out.hostTime);
  EXPECT_EQ(600, out.videoTimeScale);
  EXPECT_EQ(-2, property->SetValue(&R(), static_cast<void*>(nullptr)));
  record = nullptr;
  EXPECT_EQ(-2, property->GetValue(&R(), &record));
}

TEST_F(OpenGLRendererTest, StateSettersFilterRepeatsAndRefuseUnknownModes) {
  ASSERT_EQ(0, R().SetDepthFunc(3));
  glDepthFunc(GL_LESS);  // behind the renderer's back
  EXPECT_EQ(0, R().SetDepthFunc(3));
  EXPECT_EQ(GL_LESS, GetInt(GL_DEPTH_FUNC)) << "a repeated code reaches OpenGL";
  EXPECT_EQ(-200, R().SetDepthFunc(8));
  EXPECT_EQ(0, R().SetDepthFunc(3));
  EXPECT_EQ(GL_LESS, GetInt(GL_DEPTH_FUNC));
  EXPECT_EQ(0, R().SetDepthCompare(4));
  EXPECT_EQ(GL_NOTEQUAL, GetInt(GL_DEPTH_FUNC));
  EXPECT_EQ(-200, R().SetDepthCompare(9));

  ASSERT_EQ(0, R().SetCullFunc(1));
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  EXPECT_EQ(GL_FRONT, GetInt(GL_CULL_FACE_MODE));
  ASSERT_EQ(0, R().SetCullFunc(2));
  EXPECT_EQ(GL_BACK, GetInt(GL_CULL_FACE_MODE));
  ASSERT_EQ(0, R().SetCullFunc(0));
  EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
  EXPECT_EQ(-200, R().SetCullFunc(-1));

  for (int mode : {2, -1}) {
    EXPECT_EQ(-200, R().SetBlendFunc(mode));
    EXPECT_EQ(-200, R().SetTexFunc(mode));
    EXPECT_EQ(-200, R().SetFillMode(mode));
  }
  EXPECT_EQ(0, R().RenderText(0, 0, 0, "text"));
}

TEST_F(OpenGLRendererTest, FillRectWithBackgroundKeepsTheDepthCacheTrue) {
  ASSERT_EQ(0, R().SetDepthFunc(6));
  ASSERT_EQ(0, R().FillRectWithBackground({0, 0, 4, 4}));
  EXPECT_EQ(GL_LESS, GetInt(GL_DEPTH_FUNC));
  ASSERT_EQ(0, R().SetDepthFunc(6));
  EXPECT_EQ(GL_ALWAYS, GetInt(GL_DEPTH_FUNC)) << "the cache still believed in the old function";
}

TEST_F(OpenGLRendererTest, Ortho2DPutsYZeroAtTheTopAndStretchesX) {
  R().SetPixelAspectRatio(2.0f);
  R().SetViewport({0, 0, 640, 480});
  R().Ortho2D(KsRectF(0, 0, 640, 480), true);
  R().ModelViewIdentity();
  float x = 100, y = 0, z = 0;
  ASSERT_EQ(0, R().ProjectPoint(&x, &y, &z));
  EXPECT_NEAR(200.0f, x, 1e-3f);
  EXPECT_NEAR(480.0f, y, 1e-3f) << "window y grows upward: y = 0 is the top";
  x = 0, y = 480, z = 0;
  ASSERT_EQ(0, R().ProjectPoint(&x, &y, &z));
  EXPECT_NEAR(0.0f, y, 1e-3f);
}

TEST_F(OpenGLRendererTest, BeginUpdateClearsToTheBackgroundAndReadBackIsARGB) {
  R().SetBackgroundColor({1.0f, 0.5f, 0.0f, 1.0f});
  {
    RendererUpdateScope frame(drawing.renderer);
    ASSERT_EQ(0, frame.Result());
  }
  const std::vector<uint8_t> pixels = drawing.ReadARGB();
  EXPECT_EQ(255, pixels[0]);
  EXPECT_EQ(255, pixels[1]);
  EXPECT_NEAR(128, pixels[2], 1);
  EXPECT_EQ(0, pixels[3]);
}

TEST_F(OpenGLRendererTest, CopyFrameBufferRefusesBadRequestsAndClipsToTheDrawable) {
  R().SetBackgroundColor({0.0f, 0.0f, 1.0f, 1.0f});
  { RendererUpdateScope frame(drawing.renderer); }
  const uint32_t argb = 32;
  const uint32_t yuv = PixelFormatCode("2vuy");
  std::vector<uint8_t> big(100 * 50 * 4, 0xEE);
  R().CopyFrameBuffer(&yuv, big.data(), 100, 50, 400);
  EXPECT_EQ(0xEE, big[0]);
  R().CopyFrameBuffer(&argb, big.data(), 100, 50, 100);  // rows shorter than a row of pixels
  EXPECT_EQ(0xEE, big[0]);
  R().CopyFrameBuffer(&argb, nullptr, 100, 50, 400);
  R().CopyFrameBuffer(&argb, big.data(), 100, 50, 400);
  EXPECT_EQ(255, big[3]);  // blue of the first pixel
  EXPECT_EQ(0xEE, big[64 * 4]) << "pixels right of the drawable were written";
  EXPECT_EQ(0xEE, big[32 * 400]) << "rows below the drawable were written";
}

TEST_F(OpenGLRendererTest, DrawLockKeepsIdlingOutOfAFrame) {
  std::atomic<bool> acquired{false};
  ASSERT_EQ(0, R().BeginUpdate());
  std::thread idler([&] {
    RendererDrawLockScope lock(drawing.renderer);
    acquired = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(acquired);
  ASSERT_EQ(0, R().EndUpdate());
  idler.join();
  EXPECT_TRUE(acquired);
  EXPECT_EQ(0, R().EndUpdate()) << "an unmatched end releases nothing";
}

TEST_F(OpenGLRendererTest, CapabilitiesAndStrings) {
  EXPECT_GE(R().GetMaxTextureSize(), 1024);
  EXPECT_TRUE(R().HasExtension("gl_arb_texture_rectangle"));
  EXPECT_TRUE(R().SupportsNonPowerOfTwo());
  EXPECT_FALSE(R().HasExtension("GL_ARB_texture"));
  EXPECT_NE(PWStringRef("(unknown)"), R().GetGLVendor());
  EXPECT_NE(PWStringRef("(unknown)"), R().GetGLVersion());
}

TEST_F(OpenGLRendererTest, TextureFormatsMatchTheirBytes) {
  GLenum format = 0, type = 0;
  EXPECT_EQ(0, R().ChooseTexFormatAndType(PixelFormatInfo::Find(32), &format, &type));
  EXPECT_EQ(static_cast<GLenum>(GL_BGRA), format);
  EXPECT_EQ(static_cast<GLenum>(GL_UNSIGNED_INT_8_8_8_8), type);
  EXPECT_EQ(0, R().ChooseTexFormatAndType(PixelFormatInfo::Find(40), &format, &type));
  EXPECT_EQ(static_cast<GLenum>(GL_LUMINANCE), format);
  EXPECT_EQ(0, R().ChooseTexFormatAndType(PixelFormatInfo::Find(24), &format, &type));
  EXPECT_EQ(static_cast<GLenum>(GL_RGB), format);
  EXPECT_EQ(0, R().ChooseTexFormatAndType(PixelFormatInfo::Find(PixelFormatCode("2vuy")), &format, &type));
  EXPECT_EQ(static_cast<GLenum>(GL_LUMINANCE_ALPHA), format);
  EXPECT_EQ(-205, R().ChooseTexFormatAndType(PixelFormatInfo::Find(PixelFormatCode("b64a")), &format, &type));
  EXPECT_EQ(-2, R().ChooseTexFormatAndType(nullptr, &format, &type));
}

TEST_F(OpenGLRendererTest, ArbiterAsksWhatTheRendererTakes) {
  const uint32_t* formats = R().GetSupportedPixelFormats();
  ASSERT_EQ(PixelFormatCode("2vuy"), formats[0]);
  ASSERT_EQ(32u, formats[1]);
  auto source = KsMakeRef<BufferSource>();
  source->SetRenderer(drawing.renderer);
  EXPECT_EQ(PixelFormatCode("2vuy"), source->GetPixelFormatArbiter()->GetSourcePixelFormat());

  // A renderer that can't run the luma/chroma program offers only ARGB.
  class RgbOnlyRenderer : public AppleOpenGLRenderer {
   public:
    const uint32_t* GetSupportedPixelFormats() override {
      static const uint32_t kFormats[] = {32, 0};
      return kFormats;
    }
  };
  auto rgbOnly = KsMakeRef<RgbOnlyRenderer>();
  auto other = KsMakeRef<BufferSource>();
  other->SetRenderer(rgbOnly);
  EXPECT_EQ(32u, other->GetPixelFormat());
}

}  // namespace
