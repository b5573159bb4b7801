// The live scene: its skeleton, the split of its sources, viewset switches,
// the per-refresh step, its property table and the HcML root it stands on.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "General/HcClassMap.h"
#include "HcMLRoundTrip.h"
#include "General/ObjectCollection.h"
#include "InputDevice/InputDevice.h"
#include "InterfaceCommon/HcContextHelper.h"
#include "InterfaceCommon/Viewset.h"
#include "InterfaceCommon/ViewsetCollection.h"
#include "KsTrace.h"
#include "Projection/PlanarProjection.h"
#include "Responder/KeyboardResponder.h"
#include "Responder/MouseResponder.h"
#include "RegisterAllClasses.h"
#include "Renderer/AppleOpenGLRenderer.h"
#include "Source/MultiplexerSource.h"
#include "Source/SourceCollection.h"
#include "Time/HcClock.h"
#include "Time/HcClockCollection.h"
#include "Time/HcManualClock.h"
#include "Time/HcTransition.h"
#include "Time/HcTweenCollection.h"
#include "Utilities/HcProperty.h"
#include "Utilities/HcPropertyBindingBase.h"
#include "Utilities/PropertyProxy.h"
#include "View/FlatSourceView.h"
#include "View/LayoutRegionCollection.h"
#include "View/LayoutRegionPercent.h"
#include "View/LayoutView.h"
#include "View/PanoView.h"
#include "ViewTestSupport.h"
#include "platform/foundation/ByteHandle.h"
#include "platform/movfile/AtomContainer.h"

namespace {

constexpr const char* kContextNamespaces =
    "xmlns=\"http://www.halcyonplayer.net/halcyon/hcml\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"";

// One viewset element whose view is a perspective view.
std::string ViewsetElement(const std::string& name, const std::string& extra = "") {
  return "<viewset xsi:type=\"Viewset\"><Name>" + name + "</Name><MainViewPath>hc://View</MainViewPath>" + extra +
         "<ViewHcML><![CDATA[<View " + kContextNamespaces + " xsi:type=\"PerspectiveView\"><Name>" + name +
         "View</Name></View>]]></ViewHcML></viewset>";
}

// The element as a document of its own.
PWStringRef Document(const std::string& element) {
  const size_t nameEnd = element.find(' ');
  return PWStringRef(element.substr(0, nameEnd) + " " + kContextNamespaces + element.substr(nameEnd));
}

// A clock whose tick answers a chosen result, counting its ticks.
class FixedClock : public HcClock {
 public:
  double GetTimeNow() override { return 0.0; }
  eAppErr Idle() override {
    ++ticks;
    return result;
  }
  eAppErr result = 2;
  int ticks = 0;
};

class FixedDevice : public InputDevice {
 public:
  eAppErr Update() override {
    ++polls;
    return result;
  }
  eAppErr result = 2;
  int polls = 0;
};

KsRef<StubSource> PlanarStub() {
  auto source = KsMakeRef<StubSource>();
  source->SetProjection(KsMakeRef<PlanarProjection>());
  return source;
}

class ContextHelperTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterAllClasses();
    KsTrace::ResetSettings();
    KsTrace::LoadSettings(PWStringRef(), true);
    KsTrace::SetOutputSink([this](const std::string& line) { trace += line + "\n"; });
    context = MakeObject<HcContextHelper>(PWStringRef("HcContextHelper"));
    ASSERT_TRUE(context);
    renderer->SetDrawableRect(0, 0, 640, 480);
  }
  void TearDown() override {
    KsTrace::SetOutputSink({});
    KsTrace::ResetSettings();
  }

  // Loads the viewsets into the scene's collection and shows the first.
  void LoadViewsets(const std::vector<std::string>& elements) {
    for (const std::string& element : elements) {
      ASSERT_TRUE(context->LoadHcML(Document(element), PWStringRef("hc://Viewsets"))) << trace;
    }
  }

  KsRef<PanoView> MainPano() { return context->GetMainView().DynamicCast<PanoView>(); }

  std::string trace;
  KsRef<HcContextHelper> context;
  KsRef<AppleOpenGLRenderer> renderer = KsMakeRef<AppleOpenGLRenderer>();
};

TEST_F(ContextHelperTest, ANewSceneHasItsSkeletonAndClocks) {
  EXPECT_EQ(PWStringRef("XMLLexer"), context->GetLexerName());
  KsRef<LayoutView> root = context->GetRootLayoutView();
  ASSERT_TRUE(root);
  EXPECT_EQ(PWStringRef("ContextRootView"), root->GetName());
  KsRef<LayoutRegionCollection> regions = root->GetRegions();
  ASSERT_EQ(3u, regions->GetCount());
  const char* names[] = {"PanoRegion", "PlanarRegion", "OverlayRegion"};
  for (uint32_t i = 0; i < 3; ++i) {
    auto region = regions->GetByIndex(i).DynamicCast<LayoutRegionPercent>();
    ASSERT_TRUE(region);
    EXPECT_EQ(PWStringRef(names[i]), region->GetName());
    EXPECT_EQ((KsRectF{0, 0, 1, 1}), region->GetFrameRect());
  }
  EXPECT_FALSE(context->GetViewset());
  EXPECT_FALSE(context->GetMainView());
  EXPECT_FALSE(context->GetKeyboardResponder());
  EXPECT_EQ(0u, context->GetViewsets()->GetCount());

  // Its own idle clock, the process's real-time clock.
  auto other = KsMakeRef<HcContextHelper>();
  EXPECT_EQ(context->GetIdleClock(), context->GetIdleClock());
  EXPECT_NE(context->GetIdleClock(), other->GetIdleClock());
  EXPECT_EQ(context->GetRealtimeClock(), other->GetRealtimeClock());
  // Made once on first read.
  EXPECT_EQ(context->GetViewsetImages(), context->GetViewsetImages());
  EXPECT_EQ(context->GetIntrinsicSources(), context->GetIntrinsicSources());

  // The root class is made directly, never by name.
  EXPECT_FALSE(MakeObject<KsObject>(PWStringRef("KsContextHelper")));
}

TEST_F(ContextHelperTest, SourcesSplitIntoPanoramicAndPlanar) {
  context->SetRenderer(renderer);
  auto first = KsMakeRef<StubSource>();
  auto second = KsMakeRef<StubSource>();
  auto planar = PlanarStub();
  auto sources = KsMakeRef<SourceCollection>();
  sources->Add(first);
  sources->Add(planar);
  sources->Add(second);
  EXPECT_EQ(0, context->SetSources(sources));

  auto multiplexer = context->GetSource().DynamicCast<MultiplexerSource>();
  ASSERT_TRUE(multiplexer);
  ASSERT_EQ(2u, multiplexer->GetSourceList()->GetCount());
  EXPECT_EQ(first.Get(), multiplexer->GetSourceList()->GetByIndex(0).Get());
  EXPECT_EQ(second.Get(), multiplexer->GetSourceList()->GetByIndex(1).Get());
  EXPECT_EQ(planar.Get(), context->GetPlanarSource().Get());
  for (const auto& source : {first, second, planar}) EXPECT_EQ(renderer.Get(), source->GetRenderer().Get());

  // The planar source shows whole through the built-in viewset.
  KsRef<Viewset> shown = context->GetPlanarRegion()->GetViewset();
  ASSERT_TRUE(shown);
  EXPECT_EQ(PWStringRef("InternalPlanar"), shown->GetName());
  EXPECT_EQ(2, shown->GetViewsetType());
  auto layout = shown->GetView().DynamicCast<LayoutView>();
  ASSERT_TRUE(layout);
  KsRef<LayoutRegion> region = layout->GetRegions()->GetByIndex(0);
  auto flat = region->GetView().DynamicCast<FlatSourceView>();
  ASSERT_TRUE(flat);
  EXPECT_EQ(planar.Get(), flat->GetSource().Get());
  EXPECT_TRUE(region->GetAspectBinding());
  // The current viewset is not the planar one.
  EXPECT_FALSE(context->GetViewset());

  // A later renderer reaches the members and the multiplexer over them.
  auto later = KsMakeRef<AppleOpenGLRenderer>();
  context->SetRenderer(later);
  for (const auto& source : {first, second, planar}) EXPECT_EQ(later.Get(), source->GetRenderer().Get());
  EXPECT_EQ(later.Get(), multiplexer->GetRenderer().Get());
  context->SetRenderer(renderer);

  // Only planar sources: the panoramic one stays.
  auto onlyPlanar = KsMakeRef<SourceCollection>();
  onlyPlanar->Add(PlanarStub());
  onlyPlanar->Add(PlanarStub());
  EXPECT_EQ(0, context->SetSources(onlyPlanar));
  EXPECT_EQ(multiplexer.Get(), context->GetSource().Get());
  EXPECT_TRUE(context->GetPlanarSource().DynamicCast<MultiplexerSource>());

  EXPECT_EQ(0, context->SetSources(nullptr));
  EXPECT_FALSE(context->GetSources());
  EXPECT_FALSE(context->GetSource());
  EXPECT_FALSE(context->GetPlanarSource());
}

TEST_F(ContextHelperTest, MovieClockFallsBackToTheSourcesClock) {
  EXPECT_FALSE(context->GetMovieClock());
  auto sourceClock = KsMakeRef<FixedClock>();
  auto source = KsMakeRef<StubSource>();
  source->SetClock(sourceClock);
  auto sources = KsMakeRef<SourceCollection>();
  sources->Add(source);
  context->SetSources(sources);
  EXPECT_EQ(sourceClock.Get(), context->GetMovieClock().Get());
  auto explicitClock = KsMakeRef<FixedClock>();
  context->SetMovieClock(explicitClock);
  EXPECT_EQ(explicitClock.Get(), context->GetMovieClock().Get());
}

TEST_F(ContextHelperTest, SwitchingViewsetsCarriesTheLookAndTheTweens) {
  LoadViewsets({ViewsetElement("Wide"), ViewsetElement("Narrow"),
                ViewsetElement("Overlay", "<LoadLayer>OverlayRegion</LoadLayer>"),
                ViewsetElement("Lost", "<LoadLayer>Nowhere</LoadLayer>")});
  ASSERT_EQ(4u, context->GetViewsets()->GetCount());

  // No main view yet: the defaults.
  ASSERT_EQ(0, context->SetViewsetName(PWStringRef("Wide")));
  ASSERT_TRUE(MainPano());
  EXPECT_EQ(0.0f, MainPano()->GetPanAngle());
  EXPECT_EQ(80.0f, MainPano()->GetVFOV());
  EXPECT_EQ(PWStringRef("Wide"), context->GetViewsetName());
  EXPECT_EQ(0u, context->GetViewsetIndex());

  MainPano()->SetLookDirection(120.0f, -10.0f, 60.0f, 0.0f);
  auto tweens = KsMakeRef<HcTweenCollection>();
  MainPano()->SetTweens(tweens);
  KsRef<PanoView> wide = MainPano();

  ASSERT_EQ(0, context->SetViewsetIndex(1));
  ASSERT_TRUE(MainPano());
  EXPECT_NE(wide.Get(), MainPano().Get());
  EXPECT_EQ(PWStringRef("NarrowView"), MainPano()->GetName());
  EXPECT_FLOAT_EQ(120.0f, MainPano()->GetPanAngle());
  EXPECT_FLOAT_EQ(-10.0f, MainPano()->GetTiltAngle());
  EXPECT_FLOAT_EQ(60.0f, MainPano()->GetVFOV());
  EXPECT_EQ(tweens.Get(), MainPano()->GetTweens().Get());
  EXPECT_EQ(PWStringRef("Narrow"), context->GetViewsetName());
  EXPECT_EQ(1u, context->GetViewsetIndex());
  // The main view's own responder serves the keys.
  EXPECT_EQ(MainPano()->GetKeyboardResponder().Get(), context->GetKeyboardResponder().Get());

  // Another region: shown there, the current viewset and the look stay.
  KsRef<PanoView> narrow = MainPano();
  ASSERT_EQ(0, context->SetViewsetName(PWStringRef("Overlay")));
  EXPECT_EQ(PWStringRef("Overlay"), context->GetOverlayRegion()->GetViewset()->GetName());
  EXPECT_EQ(PWStringRef("Narrow"), context->GetViewsetName());
  EXPECT_EQ(narrow.Get(), MainPano().Get());

  // Failures change nothing.
  EXPECT_EQ(AppErr::kNotFound, context->SetViewsetName(PWStringRef("Lost")));
  EXPECT_EQ(AppErr::kNotFound, context->SetViewsetName(PWStringRef("NoSuchViewset")));
  EXPECT_EQ(AppErr::kBadArgument, context->SetViewsetName(PWStringRef("")));
  EXPECT_EQ(AppErr::kBadArgument, context->SetViewsetIndex(99));
  EXPECT_EQ(AppErr::kBadArgument, context->SetViewset(nullptr));
  auto viewless = KsMakeRef<Viewset>();
  viewless->SetViewHcML(PWStringRef("<Name " + std::string(kContextNamespaces) + ">NotAView</Name>"));
  EXPECT_EQ(AppErr::kNotReady, context->SetViewset(viewless));
  EXPECT_TRUE(trace.find("Viewset didn't resolve to an actual object!") != std::string::npos);
  EXPECT_EQ(PWStringRef("Narrow"), context->GetViewsetName());
  EXPECT_EQ(narrow.Get(), MainPano().Get());

  // A viewset that is not in the collection reads as index 0.
  KsRef<Viewset> stray = context->LoadStaticViewset(Document(ViewsetElement("Stray")));
  ASSERT_TRUE(stray);
  ASSERT_EQ(0, context->SetViewset(stray));
  EXPECT_EQ(0u, context->GetViewsetIndex());

  // The proxy is the scene's own.
  EXPECT_EQ(AppErr::kBadArgument, context->SetViewProxy(KsRef<PropertyProxy>()));
  EXPECT_EQ(0, context->SetViewProxy(context->GetViewProxy()));
  EXPECT_TRUE(context->GetViewProxy());
}

TEST_F(ContextHelperTest, AViewsetNamesItsKeyboardResponder) {
  LoadViewsets({ViewsetElement("Keyed",
                               "<KeyboardResponderPath>hc://ViewsetImages[0]</KeyboardResponderPath>"
                               "<ViewsetImages xsi:type=\"objects\"><entry xsi:type=\"KeyboardIgnoreResponder\">"
                               "<Name>Keys</Name></entry></ViewsetImages>"),
                ViewsetElement("Plain")});
  ASSERT_EQ(0, context->SetViewsetName(PWStringRef("Keyed")));
  KsRef<KeyboardResponder> keys = context->GetKeyboardResponder();
  ASSERT_TRUE(keys);
  EXPECT_EQ(PWStringRef("Keys"), keys->GetName());
  // Without a path the main view's own responder serves again.
  ASSERT_EQ(0, context->SetViewsetName(PWStringRef("Plain")));
  EXPECT_EQ(MainPano()->GetKeyboardResponder().Get(), context->GetKeyboardResponder().Get());
}

TEST_F(ContextHelperTest, NeedsDisplayOfTheRootViewMarksTheRendererDirty) {
  context->SetRenderer(renderer);
  EXPECT_EQ((KsRectF{0, 0, 640, 480}), context->GetRootLayoutView()->GetFrame());
  renderer->SetIsDirty(false);
  context->GetRootLayoutView()->SetName(PWStringRef("Renamed"));
  context->GetRootLayoutView()->SetOpacity(0.5f);
  EXPECT_FALSE(renderer->GetIsDirty());
  context->GetRootLayoutView()->AnnounceNeedsDisplay();
  EXPECT_TRUE(renderer->GetIsDirty());
}

// The per-refresh step folds the clocks, the device and the renderer.
TEST_F(ContextHelperTest, IdleStepResults) {
  struct Case {
    const char* what;
    bool movieClock;
    eAppErr movie;
    eAppErr device;  // 1: no device
    bool dirty;
    bool idleFails;
    eAppErr expected;
  };
  const Case cases[] = {
      {"all idle", true, 2, 1, false, false, 2},
      {"no movie clock counts as idle", false, 0, 1, false, false, 2},
      {"renderer dirty", true, 2, 1, true, false, 0},
      {"a movie frame advanced", true, 0, 1, false, false, 0},
      {"the device moved", true, 2, 0, false, false, 0},
      {"the device idle", true, 2, 2, false, false, 2},
      {"movie fails first", true, -903, 2, false, true, -903},
      {"idle clock fails", true, 2, 1, false, true, -1},
      {"device fails", true, 2, -5, false, false, -5},
  };
  context->SetRenderer(renderer);
  // The real-time clock is the process's: let it settle first.
  context->IdleClocks();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto movie = KsMakeRef<FixedClock>();
    movie->result = c.movie;
    context->SetMovieClock(c.movieClock ? KsRef<HcClock>(movie) : KsRef<HcClock>());
    auto device = KsMakeRef<FixedDevice>();
    device->result = c.device;
    context->SetInputDevice(c.device == 1 ? KsRef<InputDevice>() : KsRef<InputDevice>(device));
    renderer->SetIsDirty(c.dirty);
    auto failing = KsMakeRef<FixedClock>();
    failing->result = -1;
    auto dependents = KsMakeRef<HcClockCollection>();
    if (c.idleFails) dependents->Add(failing);
    context->GetIdleClock()->SetDependentClocks(dependents);

    bool dirty = false;
    EXPECT_EQ(c.expected, context->IdleClocksWithStatus(&dirty));
    EXPECT_EQ(c.expected != 2, dirty);
    // Every part ran, failures or not; the step leaves the renderer as it was.
    EXPECT_EQ(c.movieClock ? 1 : 0, movie->ticks);
    EXPECT_EQ(c.device != 1 ? 1 : 0, device->polls);
    EXPECT_EQ(c.idleFails ? 1 : 0, failing->ticks);
    EXPECT_EQ(c.dirty, renderer->GetIsDirty());
  }
  context->GetIdleClock()->SetDependentClocks(nullptr);

  // A device that is gone counts as absent.
  auto device = KsMakeRef<FixedDevice>();
  device->result = 0;
  context->SetInputDevice(device);
  context->SetMovieClock(nullptr);
  renderer->SetIsDirty(false);
  EXPECT_EQ(0, context->IdleClocks());
  device = nullptr;
  EXPECT_FALSE(context->GetInputDevice());
  EXPECT_EQ(2, context->IdleClocks());
  // A reset of idleness is activity on the next refresh.
  EXPECT_EQ(0, context->ResetIdle());
  EXPECT_EQ(0, context->IdleClocks());
  EXPECT_EQ(2, context->IdleClocks());
}

// On clocks of its own, user activity in the scene restarts the idle timer
// and the idle transition fires once the time-out has passed again.
TEST_F(ContextHelperTest, IdleClockRunsTheAutomaticPan) {
  auto realtime = KsMakeRef<HcManualClock>();
  auto idle = KsMakeRef<HcManualClock>();
  context->UseClocks(realtime, idle);
  EXPECT_EQ(idle.Get(), context->GetIdleClock().Get());
  EXPECT_EQ(realtime.Get(), context->GetRealtimeClock().Get());
  auto transition = KsMakeRef<HcTransition>();
  transition->SetClock(idle);
  idle->SetIdleTransition(transition);
  idle->SetIdleTimeout(5.0);
  idle->SetUseIdleTransition(true);

  idle->SetTimeNow(1.0);
  context->IdleClocks();
  uint32_t cursor = 0;
  context->GetMouseResponder()->MouseDown(KsPointF{10, 10}, &cursor);
  context->GetMouseResponder()->MouseUp(KsPointF{10, 10}, &cursor);
  EXPECT_EQ(0, context->IdleClocks());  // the reset is activity
  idle->SetTimeNow(5.5);
  EXPECT_EQ(2, context->IdleClocks());
  EXPECT_FALSE(transition->IsStarted());
  idle->SetTimeNow(6.5);
  context->IdleClocks();
  EXPECT_TRUE(transition->IsStarted());
}

TEST_F(ContextHelperTest, PropertyTableSerializesTheSceneNotItsState) {
  const std::vector<std::string> serialized = {"IntrinsicSources", "MovieClock",    "Renderer",  "Source",
                                               "Sources",          "ViewHelper",    "ViewProxy", "ViewsetImages",
                                               "KeyboardResponder", "Tweens",       "PlanarSource"};
  const std::vector<std::string> readOnly = {"MouseResponder", "RealtimeClock", "IdleClock", "MainView", "RootView"};
  KsRef<KsClassObject> classObject = HcContextHelper::ClassGetClassObject();
  EXPECT_EQ(PWStringRef("KsContextHelper"), classObject->GetParentClass()->GetName());
  for (int32_t id = 300; id <= 323; ++id) {
    KsRef<HcProperty> property;
    classObject->GetPropertyById(property, id);
    ASSERT_TRUE(property) << id;
    const std::string name = property->GetName().Str();
    SCOPED_TRACE(name);
    EXPECT_EQ(std::count(serialized.begin(), serialized.end(), name) == 1, property->GetShouldSerialize());
    EXPECT_EQ(std::count(readOnly.begin(), readOnly.end(), name) == 0, property->GetCanSet());
    EXPECT_TRUE(property->GetCanGet());
  }
  KsRef<HcProperty> viewProxy;
  classObject->GetPropertyById(viewProxy, HcContextHelper::kViewProxyId);
  EXPECT_EQ(PanoView::ClassGetClassObject(), viewProxy->GetPropertyTypeClass());
  // A read-only row refuses a write by name.
  KsRef<HcProperty> rootView;
  classObject->GetPropertyById(rootView, HcContextHelper::kRootViewId);
  EXPECT_EQ(AppErr::kUnsupportedType, rootView->SetValue(context.Get(), KsRef<KsObject>(KsMakeRef<LayoutView>())));

  // Written as HcML, the scene leaves its state out.
  const PWStringRef text = context->GetHcMLAtPath(PWStringRef("hc://"));
  ASSERT_TRUE(text) << trace;
  for (const char* left : {"<Viewsets", "<IdleClock", "<RootView", "<Projections", "<NamedControllerObjects"}) {
    EXPECT_EQ(std::string::npos, text.Str().find(left)) << text.Str();
  }
  EXPECT_NE(std::string::npos, text.Str().find("<LexerName>XMLLexer</LexerName>")) << text.Str();
}

TEST_F(ContextHelperTest, ViewsetsLoadUnderEitherCollectionName) {
  for (const char* type : {"viewsets", "ViewsetCollection"}) {
    SCOPED_TRACE(type);
    const std::string text = "<Viewsets " + std::string(kContextNamespaces) + " xsi:type=\"" + type + "\">" +
                             ViewsetElement("One") + ViewsetElement("Two") + "</Viewsets>";
    ASSERT_TRUE(context->LoadHcML(PWStringRef(text))) << trace;
    ASSERT_EQ(2u, context->GetViewsets()->GetCount());
    EXPECT_EQ(0, context->SetViewsetName(PWStringRef("Two")));
  }
  // Written under the class table's name.
  const PWStringRef written = context->GetHcMLAtPath(PWStringRef("hc://Viewsets"));
  ASSERT_TRUE(written);
  EXPECT_NE(std::string::npos, written.Str().find("xsi:type=\"viewsets\"")) << written.Str();
}

TEST_F(ContextHelperTest, LoadsAndWritesAtObjectPaths) {
  // An unknown root loads nothing.
  EXPECT_FALSE(context->LoadHcML(Document(ViewsetElement("A")), PWStringRef("hc://NoSuchProperty")));
  EXPECT_NE(std::string::npos, trace.find("Couldn't resolve root object hc://NoSuchProperty")) << trace;
  EXPECT_EQ(0u, context->GetViewsets()->GetCount());
  EXPECT_FALSE(context->LoadHcML(PWStringRef("<viewset")));

  // Another lexer name reads text differently; atom containers are unaffected.
  LoadViewsets({ViewsetElement("A")});
  auto container = context->GetAtomContainerAtPath(PWStringRef("hc://Viewsets"), false, {});
  ASSERT_TRUE(container);
  std::vector<uint8_t> flat;
  ASSERT_EQ(hc::movfile::MovErr::Ok, container->Flatten(&flat));
  hc::foundation::ByteHandle handle;
  handle.Assign(flat.data(), flat.size());
  context->SetLexerName(PWStringRef("BinaryLexer"));
  EXPECT_FALSE(context->LoadHcML(Document(ViewsetElement("B")), PWStringRef("hc://Viewsets")));
  auto copy = KsMakeRef<HcContextHelper>();
  ASSERT_TRUE(copy->LoadHcMLFromHandle(handle, nullptr)) << trace;
  ASSERT_EQ(1u, copy->GetViewsets()->GetCount());
  EXPECT_EQ(PWStringRef("A"), copy->GetViewsets()->GetByIndex(0)->GetName());

  // Failures answer nothing, never a partial document.
  EXPECT_FALSE(context->GetAtomContainerAtPath(PWStringRef("hc://NoSuchProperty"), false, {}));
  EXPECT_FALSE(context->GetHcMLAtPath(PWStringRef("hc://NoSuchProperty")));
  EXPECT_NE(std::string::npos, trace.find("Error getting HcML at path hc://NoSuchProperty")) << trace;

  // Float access by path.
  context->SetLexerName(PWStringRef("XMLLexer"));
  ASSERT_EQ(0, context->SetViewsetName(PWStringRef("A")));
  EXPECT_EQ(0, context->SetFloatAtPath(PWStringRef("hc://MainView"), PWStringRef("PanAngle"), 33.0f));
  EXPECT_FLOAT_EQ(33.0f, context->GetFloatAtPath(PWStringRef("hc://MainView"), PWStringRef("PanAngle")));
  EXPECT_EQ(0.0f, context->GetFloatAtPath(PWStringRef("hc://MainView"), PWStringRef("Name")));
  EXPECT_NE(std::string::npos, trace.find("Error getting value for hc://MainView property Name")) << trace;
}

TEST_F(ContextHelperTest, BridgeLoadsStaticViewsets) {
  EXPECT_FALSE(context->LoadStaticViewset(PWStringRef("<not hcml")));
  EXPECT_NE(std::string::npos, trace.find("loading static viewset!")) << trace;
  EXPECT_FALSE(context->LoadStaticViewset(PWStringRef("<Thing " + std::string(kContextNamespaces) +
                                                      " xsi:type=\"LayoutView\"/>")));
  EXPECT_EQ(0u, context->GetViewsets()->GetCount());
  KsRef<Viewset> planar = context->GetInternalPlanarViewset();
  ASSERT_TRUE(planar);
  EXPECT_EQ(planar.Get(), context->GetInternalPlanarViewset().Get());
  EXPECT_EQ(PWStringRef("PlanarRegion"), planar->GetLoadLayer());
  EXPECT_EQ(PWStringRef("hc://View.Regions[0].View"), planar->GetMainViewPath());
  // The built-in text and the view text it carries are well-formed HcML.
  EXPECT_TRUE(hcmlroundtrip::XmllintAccepts(HcContextHelper::kInternalPlanarHcML));
  EXPECT_TRUE(hcmlroundtrip::XmllintAccepts(planar->GetViewHcML().Str()));
}

TEST_F(ContextHelperTest, ClearContextLetsGoOfTheScene) {
  context->SetRenderer(renderer);
  LoadViewsets({ViewsetElement("A")});
  ASSERT_EQ(0, context->SetViewsetName(PWStringRef("A")));
  KsRef<HcView> main = context->GetMainView();
  EXPECT_EQ(0, context->ClearContext());
  EXPECT_FALSE(context->GetRenderer());
  EXPECT_FALSE(context->GetRootView());
  EXPECT_FALSE(context->GetMainView());
  EXPECT_FALSE(context->GetViewsets());
  EXPECT_FALSE(context->GetViewset());
  EXPECT_EQ(AppErr::kBadArgument, context->SetViewHelper(KsMakeRef<ObjectCollection>()));
}

}  // namespace
