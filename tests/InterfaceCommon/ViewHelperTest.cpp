// The view helper between a drawing surface and a scene: frame, activation,
// the weakly held context, drawing and post-flight, events, its vocabulary
// and its bridge.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "General/CocoaBridge.h"
#include "General/CocoaMethod.h"
#include "General/HcClassMap.h"
#include "InterfaceCommon/HcContextHelper.h"
#include "InterfaceCommon/HcViewHelper.h"
#include "RegisterAllClasses.h"
#include "Renderer/AppleOpenGLRenderer.h"
#include "Responder/KeyboardResponder.h"
#include "SceneTestSupport.h"
#include "Source/SourceCollection.h"
#include "Utilities/HcProperty.h"
#include "Utilities/XMLStringEmitter.h"
#include "View/FlatSourceView.h"
#include "View/LayoutRegionPercent.h"
#include "View/LayoutView.h"
#include "View/ViewCollection.h"
#include "ViewTestSupport.h"
#include "platform/runtime/MessageSend.h"

namespace {

namespace rt = hc::runtime;

// A source that counts how often it is asked for its frame and updated.
class CountingSource : public StubSource {
 public:
  eAppErr TextureSetForRenderer(const KsRef<PanoRenderer>& renderer, KsRef<HcTextureSet>& out,
                                uint32_t mask) override {
    ++asked;
    return StubSource::TextureSetForRenderer(renderer, out, mask);
  }
  eAppErr DoUpdate() override {
    ++updates;
    return 0;
  }
  int asked = 0;
  int updates = 0;
};

// A keyboard responder that handles what it is told to, counting calls.
class CountingKeys : public KeyboardResponder {
 public:
  bool KeyDown(uint32_t, uint32_t, uint32_t) override {
    ++downs;
    return handles;
  }
  bool KeyUp(uint32_t, uint32_t, uint32_t) override {
    ++ups;
    return handles;
  }
  bool handles = true;
  int downs = 0;
  int ups = 0;
};

class ViewHelperTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterAllClasses();
    context = MakeObject<HcContextHelper>(PWStringRef("HcContextHelper"));
    helper = MakeObject<HcViewHelper>(PWStringRef("HcViewHelper"));
    ASSERT_TRUE(context && helper);
  }
  KsRef<HcContextHelper> context;
  KsRef<HcViewHelper> helper;
};

TEST_F(ViewHelperTest, FrameRoundsOutwardToWholePixelsAndSizesRendererAndRootView) {
  struct Case {
    KsRectF given;
    KsRect<int32_t> pixels;
  };
  const Case cases[] = {
      {{10.5f, 20.25f, 100.2f, 50.5f}, {10, 20, 101, 51}},
      {{0, 0, 640, 480}, {0, 0, 640, 480}},
      {{-0.5f, 1.75f, 10, 10}, {-1, 1, 11, 11}},
  };
  auto renderer = KsMakeRef<AppleOpenGLRenderer>();
  helper->SetContext(context);
  helper->SetRenderer(renderer);
  KsRef<HcProperty> frame = helper->GetClassObject()->FindProperty(PWStringRef("Frame"));
  ASSERT_TRUE(frame);
  for (const Case& c : cases) {
    ASSERT_EQ(0, frame->SetValue(helper.Get(), c.given));
    EXPECT_EQ(c.pixels, helper->GetPixelFrame());
    EXPECT_EQ(c.pixels, renderer->GetDrawableRect());
    EXPECT_EQ((KsRectF{static_cast<float>(c.pixels.x), static_cast<float>(c.pixels.y),
                       static_cast<float>(c.pixels.w), static_cast<float>(c.pixels.h)}),
              context->GetRootView()->GetFrame());
    // The getter answers the frame as given, so a written helper reads back the same.
    KsRectF read;
    ASSERT_EQ(0, frame->GetValue(helper.Get(), &read));
    EXPECT_EQ(c.given, read);
  }
  // A frame from a presentation is untrusted: what no surface can be is refused.
  const KsRectF refused[] = {
      {0, 0, std::nanf(""), 10}, {0, 0, 1e30f, 10}, {0, 0, 10, -5}, {-1e9f, 0, 10, 10}, {0, 0, 40000, 10},
  };
  for (const KsRectF& bad : refused) {
    EXPECT_EQ(-2, frame->SetValue(helper.Get(), bad));
    EXPECT_EQ(cases[2].pixels, helper->GetPixelFrame());
    EXPECT_EQ(cases[2].given, helper->GetFrame());
  }
}

TEST_F(ViewHelperTest, ActivationMakesTheDefaultRendererAndHandsItToTheContextOnce) {
  ASSERT_EQ(0, helper->SetContext(context));
  ASSERT_EQ(0, helper->SetFrame(KsRectF(0, 0, 320, 240)));
  EXPECT_FALSE(helper->GetRenderer());
  ASSERT_EQ(0, helper->SetActive(true));
  KsRef<AppleOpenGLRenderer> made = helper->GetRenderer().DynamicCast<AppleOpenGLRenderer>();
  ASSERT_TRUE(made);
  EXPECT_EQ(KsRef<PanoRenderer>(made), context->GetRenderer());
  EXPECT_EQ((KsRect<int32_t>{0, 0, 320, 240}), made->GetDrawableRect());
  EXPECT_EQ(0, helper->SetActive(true));
  EXPECT_EQ(-102, helper->SetActive(false));
  EXPECT_TRUE(helper->GetActive());

  // While active, a new renderer goes to the context too.
  auto other = KsMakeRef<AppleOpenGLRenderer>();
  EXPECT_EQ(0, helper->SetRenderer(other));
  EXPECT_EQ(KsRef<PanoRenderer>(other), context->GetRenderer());
}

TEST_F(ViewHelperTest, AContextThatHasARendererGivesItToTheHelper) {
  auto renderer = KsMakeRef<AppleOpenGLRenderer>();
  context->SetRenderer(renderer);
  ASSERT_EQ(0, helper->SetContext(context));
  EXPECT_EQ(KsRef<PanoRenderer>(renderer), helper->GetRenderer());
  ASSERT_EQ(0, helper->SetActive(true));
  EXPECT_EQ(KsRef<PanoRenderer>(renderer), helper->GetRenderer());
}

TEST_F(ViewHelperTest, NeverKeepsItsContextAlive) {
  helper->SetContext(context);
  helper->SetRenderer(KsMakeRef<AppleOpenGLRenderer>());
  EXPECT_EQ(context, helper->GetContext());
  context = nullptr;
  EXPECT_FALSE(helper->GetContext());
  KsRef<KsObject> value;
  ASSERT_EQ(0, helper->GetClassObject()->FindProperty(PWStringRef("Context"))->GetValue(helper.Get(), &value));
  EXPECT_FALSE(value);
  uint32_t cursor = 77;
  EXPECT_FALSE(helper->MouseDown({1, 1}, &cursor));
  EXPECT_FALSE(helper->MouseMoved({1, 1}, &cursor));
  EXPECT_EQ(0, helper->MouseUp({1, 1}, &cursor));
  EXPECT_FALSE(helper->MouseScrolled(1.0f, {1, 1}));
  EXPECT_FALSE(helper->KeyDown(28, 0, 0));
  EXPECT_EQ(77u, cursor);
  EXPECT_EQ(HcViewHelper::kNoSurface, helper->Draw());
}

TEST_F(ViewHelperTest, WithoutRendererOrSourcesTheStepsSayWhatIsMissing) {
  int32_t width = 5, height = 5;
  EXPECT_EQ(-903, helper->GetSize(&width, &height));
  EXPECT_EQ(0, width);
  EXPECT_EQ(0, height);
  EXPECT_EQ(-903, helper->PostFlight(nullptr));
  helper->SetContext(context);
  EXPECT_EQ(HcViewHelper::kNoSurface, helper->Draw());
  auto renderer = KsMakeRef<AppleOpenGLRenderer>();
  helper->SetRenderer(renderer);
  helper->Resize(0, 0, 64, 32);
  ASSERT_EQ(0, helper->GetSize(&width, &height));
  EXPECT_EQ(64, width);
  EXPECT_EQ(32, height);
}

TEST_F(ViewHelperTest, KeysGoToTheScenesKeyboardResponderAndMouseUpAlwaysAnswersZero) {
  helper->SetContext(context);
  auto keys = KsMakeRef<CountingKeys>();
  context->SetKeyboardResponder(keys);
  EXPECT_TRUE(helper->KeyDown(28, 0, 123));
  keys->handles = false;
  EXPECT_FALSE(helper->KeyUp(28, 0, 123));
  EXPECT_EQ(1, keys->downs);
  EXPECT_EQ(1, keys->ups);
  uint32_t cursor = 0;
  EXPECT_EQ(0, helper->MouseUp({5, 5}, &cursor));
}

TEST_F(ViewHelperTest, HcMLOfAHelperCarriesOnlyActiveAndFrame) {
  helper->SetContext(context);
  helper->SetRenderer(KsMakeRef<AppleOpenGLRenderer>());
  helper->SetFrame(KsRectF(0, 0, 32, 16));
  const PWStringRef text = WriteObjectToHcMLString(KsRef<KsObject>(helper), PWStringRef("Helper"));
  ASSERT_TRUE(text);
  const std::string written = text.Str();
  EXPECT_NE(std::string::npos, written.find("<Active>")) << written;
  EXPECT_NE(std::string::npos, written.find("<Frame>")) << written;
  for (const char* left : {"<Context", "<Renderer", "<SharedGraphicsContext", "<SourceCollection"}) {
    EXPECT_EQ(std::string::npos, written.find(left)) << left << "\n" << written;
  }
}

TEST_F(ViewHelperTest, AnOffScreenHelperMadeByNameIsAViewHelper) {
  KsRef<HcViewHelper> offscreen = MakeObject<HcViewHelper>(PWStringRef("GLPbufferContextMac"));
  ASSERT_TRUE(offscreen.DynamicCast<GLPbufferContextMac>());
  EXPECT_FALSE(offscreen->GetRenderer());
  EXPECT_FALSE(offscreen->GetContext());
  EXPECT_EQ(KsRectF(), offscreen->GetFrame());
  EXPECT_TRUE(offscreen->GetClassObject()->FindProperty(PWStringRef("SourceCollection")));
}

// The scene of two flat views in the panoramic region that show one source.
class DrawnSourcesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterAllClasses();
    TestImage picture = TestImage::Blank(64, 32, 3);
    ASSERT_TRUE(scene.Make(64, 48, picture)) << scene.failure;
    auto views = scene.context->GetPanoRegion()->GetViews();
    views->Add(first);
    views->Add(second);
    first->SetSource(shared);
    second->SetSource(shared);
  }
  OffscreenScene scene;
  KsRef<CountingSource> shared = KsMakeRef<CountingSource>();
  KsRef<FlatSourceView> first = KsMakeRef<FlatSourceView>();
  KsRef<FlatSourceView> second = KsMakeRef<FlatSourceView>();
};

TEST_F(DrawnSourcesTest, ASourceShownTwiceIsPreparedAndUpdatedOncePerFrame) {
  shared->hasData = false;  // the views skip it, only the helper asks
  scene.helper->Draw();
  EXPECT_EQ(1, shared->asked);
  EXPECT_EQ(15u, shared->lastMask);
  KsRef<SourceCollection> drawn = scene.helper->GetSourceCollection();
  ASSERT_TRUE(drawn);
  // The scene's own source (the main view's) comes first, then the shared one.
  ASSERT_EQ(2u, drawn->GetCount());
  EXPECT_EQ(KsRef<PanoSource>(scene.source), drawn->GetByIndex(0));
  EXPECT_EQ(KsRef<PanoSource>(shared), drawn->GetByIndex(1));
  EXPECT_EQ(0, scene.helper->PostFlight(drawn));
  EXPECT_EQ(1, shared->updates);
}

TEST_F(DrawnSourcesTest, AHiddenRootViewStillBracketsTheFrame) {
  const uint32_t before = scene.helper->GetRenderer()->GetUpdateCycle();
  scene.context->GetRootView()->SetHidden(true);
  EXPECT_EQ(0, scene.helper->Draw());
  EXPECT_EQ(before + 1, scene.helper->GetRenderer()->GetUpdateCycle());
}

TEST(ViewHelperBridge, TheShellsEntryPointsReachTheHelper) {
  RegisterAllClasses();
  OffscreenScene scene;
  ASSERT_TRUE(scene.Make(64, 48, TestImage::Blank(64, 32, 3))) << scene.failure;
  rt::Id proxy = GetCocoaObject(scene.helper.Get()).Get();
  rt::Value result;
  ASSERT_EQ(rt::RuntimeErr::Ok, rt::Send(proxy, "resizex:y:width:height:",
                                         {rt::Value::Int(0), rt::Value::Int(0), rt::Value::Int(80), rt::Value::Int(60)},
                                         &result));
  EXPECT_EQ(rt::Value::Int(0), result);
  int32_t width = 0, height = 0;
  ASSERT_EQ(rt::RuntimeErr::Ok,
            rt::Send(proxy, "getSizewidth:height:", {rt::Value::OutPointer(&width), rt::Value::OutPointer(&height)},
                     &result));
  EXPECT_EQ(80, width);
  EXPECT_EQ(60, height);
  ASSERT_EQ(rt::RuntimeErr::Ok, rt::Send(proxy, "draw", {}, &result));
  EXPECT_EQ(rt::Value::Int(0), result);
  rt::Value sources = cocoa_method::ToValue(scene.helper->GetSourceCollection());
  ASSERT_EQ(rt::RuntimeErr::Ok, rt::Send(proxy, "postflight:", {sources}, &result));
  EXPECT_EQ(rt::Value::Int(0), result);
  uint32_t cursor = 99;
  ASSERT_EQ(rt::RuntimeErr::Ok, rt::Send(proxy, "mouseDownAt:outCursor:",
                                         {rt::Value::MakePoint({40, 30}), rt::Value::OutPointer(&cursor)}, &result));
  EXPECT_EQ(rt::Value::Bool(true), result);
  EXPECT_NE(99u, cursor);
  ASSERT_EQ(rt::RuntimeErr::Ok, rt::Send(proxy, "mouseMovedTo:outCursor:",
                                         {rt::Value::MakePoint({60, 30}), rt::Value::OutPointer(&cursor)}, &result));
  ASSERT_EQ(rt::RuntimeErr::Ok, rt::Send(proxy, "mouseUpAt:outCursor:",
                                         {rt::Value::MakePoint({60, 30}), rt::Value::OutPointer(&cursor)}, &result));
  EXPECT_EQ(rt::Value::Int(0), result);
  ASSERT_EQ(rt::RuntimeErr::Ok,
            rt::Send(proxy, "mouseScrolledBy:at:", {rt::Value::Float(2.0f), rt::Value::MakePoint({40, 30})}, &result));
  EXPECT_EQ(rt::Value::Bool(true), result);
  ASSERT_EQ(rt::RuntimeErr::Ok,
            rt::Send(proxy, "keyDownCode:withModifiers:scanCode:",
                     {rt::Value::UInt(28), rt::Value::UInt(0), rt::Value::UInt(0)}, &result));
  EXPECT_EQ(rt::Value::Bool(true), result);
  ASSERT_EQ(rt::RuntimeErr::Ok,
            rt::Send(proxy, "keyUpCode:withModifiers:scanCode:",
                     {rt::Value::UInt(28), rt::Value::UInt(0), rt::Value::UInt(0)}, &result));
  ASSERT_EQ(rt::RuntimeErr::Ok, rt::Send(proxy, "makeDefaultRenderer", {}, &result));
  EXPECT_EQ(rt::Value::Int(0), result);
}

}  // namespace
