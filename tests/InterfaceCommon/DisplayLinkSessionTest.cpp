// The view helper driven the way the player view drives it: a display link's
// thread runs the idle step and, when it asks for a frame, draws and
// post-flights through the bridge with the view's OpenGL context current,
// while the main thread passes mouse and key events through the bridge.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <thread>

#include "EquirectangularGrid.h"
#include "General/CocoaBridge.h"
#include "General/CocoaMethod.h"
#include "General/HcClassMap.h"
#include "InterfaceCommon/HcContextHelper.h"
#include "InterfaceCommon/HcViewHelper.h"
#include "RegisterAllClasses.h"
#include "Renderer/AppleOpenGLRenderer.h"
#include "SceneTestSupport.h"
#include "Source/SourceCollection.h"
#include "platform/gl/DisplayLink.h"
#include "platform/gl/GlContext.h"
#include "platform/gl/GlOffscreenDrawable.h"
#include "platform/gl/GlPixelFormat.h"
#include "platform/runtime/MessageSend.h"

namespace {

namespace rt = hc::runtime;
using hc::gl::GlError;

constexpr int kSessionWidth = 160;
constexpr int kSessionHeight = 120;
constexpr uint64_t kRefresh = 16'666'667;

TEST(DisplayLinkSession, TheLinkThreadDrawsWhileTheMainThreadDrags) {
  RegisterAllClasses();
  // The scene, as the document builds it on the main thread.
  auto context = MakeObject<HcContextHelper>(PWStringRef("HcContextHelper"));
  KsRef<BufferSource> source = EquirectangularSource(MakeEquirectangularGrid(256, 128));
  ASSERT_TRUE(context && source);
  auto sources = KsMakeRef<SourceCollection>();
  sources->Add(source);
  ASSERT_EQ(0, context->SetSources(sources));
  ASSERT_TRUE(context->LoadHcML(PWStringRef(SceneViewsetElement("Wide")), PWStringRef("hc://Viewsets")));
  ASSERT_EQ(0, context->SetViewsetName(PWStringRef("Wide")));
  KsRef<PanoView> main = context->GetMainView().DynamicCast<PanoView>();
  ASSERT_TRUE(main);
  main->SetSource(source);

  // The player view: its OpenGL context, current only while a refresh draws.
  std::unique_ptr<hc::gl::GlPixelFormat> format;
  std::unique_ptr<hc::gl::GlContext> glContext;
  std::unique_ptr<hc::gl::GlOffscreenDrawable> drawable;
  ASSERT_EQ(GlError::None, hc::gl::GlPixelFormat::Create({true, 32, 8, 16, true}, &format));
  ASSERT_EQ(GlError::None, hc::gl::GlContext::Create(*format, nullptr, &glContext));
  ASSERT_EQ(GlError::None, glContext->MakeCurrent());
  ASSERT_EQ(GlError::None, hc::gl::GlOffscreenDrawable::Create(kSessionWidth, kSessionHeight, &drawable));
  ASSERT_EQ(GlError::None, hc::gl::GlContext::ClearCurrent());

  // The helper, set up through the bridge in the player view's order.
  KsRef<HcViewHelper> helper = MakeObject<HcViewHelper>(PWStringRef("HcViewHelper"));
  rt::Id helperProxy = GetCocoaObject(helper.Get()).Get();
  ASSERT_EQ(rt::RuntimeErr::Ok, rt::Send(helperProxy, "makeDefaultRenderer", {}));
  KsRef<AppleOpenGLRenderer> renderer = helper->GetRenderer().DynamicCast<AppleOpenGLRenderer>();
  ASSERT_TRUE(renderer);
  renderer->SetGlContext(glContext.get());
  renderer->SetGlPixelFormat(format.get());
  ASSERT_EQ(rt::RuntimeErr::Ok,
            rt::Send(helperProxy, "setContext:", {rt::Value::Object(GetCocoaObject(context.Get()).Get())}));
  ASSERT_EQ(rt::RuntimeErr::Ok, rt::Send(helperProxy, "setActive:", {rt::Value::Bool(true)}));
  ASSERT_EQ(rt::RuntimeErr::Ok,
            rt::Send(helperProxy, "setFrame:", {rt::Value::MakeRect({{0, 0}, {kSessionWidth, kSessionHeight}})}));
  EXPECT_EQ(KsRef<PanoRenderer>(renderer), context->GetRenderer());

  std::atomic<int> frames{0};
  std::atomic<int> failures{0};
  hc::gl::DisplayLink link(hc::gl::DisplayLink::Timing::Manual);
  ASSERT_EQ(GlError::None, link.Start([&](const hc::gl::DisplayTimeStamp&, const hc::gl::DisplayTimeStamp&) {
    if (glContext->MakeCurrent() != GlError::None || drawable->Bind() != GlError::None) {
      ++failures;
      return;
    }
    eAppErr idled;
    {
      RendererDrawLockScope lock(context->GetRenderer());
      idled = context->IdleClocks();
    }
    if (idled == 0) {
      rt::Value drawn;
      rt::Send(helperProxy, "draw", {}, &drawn);
      if (drawn.GetType() != rt::Value::Type::kInt || drawn.GetInt() < 0) ++failures;
      rt::Value collection = cocoa_method::ToValue(helper->GetSourceCollection());
      rt::Send(helperProxy, "postflight:", {collection});
      ++frames;
    }
    hc::gl::GlContext::ClearCurrent();
  }));

  // A drag to the right between refreshes; the turning runs on the real-time
  // clock, so real time passes between them.
  const float startPan = main->GetPanAngle();
  auto mouse = [&](const char* selector, float x) {
    uint32_t cursor = 0;
    rt::Send(helperProxy, selector, {rt::Value::MakePoint({x, 60}), rt::Value::OutPointer(&cursor)});
  };
  mouse("mouseDownAt:outCursor:", 80);
  for (int i = 0; i < 30; ++i) {
    mouse("mouseMovedTo:outCursor:", 80.0f + static_cast<float>(i) * 2.0f);
    rt::Send(helperProxy, "keyDownCode:withModifiers:scanCode:",
             {rt::Value::UInt('x'), rt::Value::UInt(0), rt::Value::UInt(0)});
    ASSERT_EQ(GlError::None, link.AdvanceManualClock(kRefresh));
    std::this_thread::sleep_for(std::chrono::milliseconds(3));
  }
  mouse("mouseUpAt:outCursor:", 140);
  ASSERT_EQ(GlError::None, link.AdvanceManualClock(kRefresh));
  ASSERT_EQ(GlError::None, link.Stop());

  EXPECT_EQ(0, failures.load());
  EXPECT_GE(frames.load(), 10);
  EXPECT_GT(std::fabs(std::remainder(main->GetPanAngle() - startPan, 360.0f)), 0.5f);

  // The view goes: its OpenGL objects with its context current.
  ASSERT_EQ(GlError::None, glContext->MakeCurrent());
  helper->ReleaseGLResources();
  context->SetRenderer(nullptr);
  renderer = nullptr;
  drawable.reset();
}

}  // namespace
