// Viewsets: their vocabulary, loading their view into a scene and publishing
// named objects; the scene's and the viewset's bridged methods.

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "FileTestSupport.h"
#include "HcMLRoundTrip.h"
#include "General/CocoaBridge.h"
#include "General/HcClassMap.h"
#include "General/KsStringCollection.h"
#include "General/ObjectCollection.h"
#include "InterfaceCommon/HcContextHelper.h"
#include "InterfaceCommon/Viewset.h"
#include "InterfaceCommon/ViewsetCollection.h"
#include "KsTrace.h"
#include "RegisterAllClasses.h"
#include "TraceCapture.h"
#include "Utilities/HcMLLoader.h"
#include "Utilities/XMLStringEmitter.h"
#include "View/HcView.h"
#include "View/LayoutRegionPercent.h"
#include "View/LayoutView.h"
#include "platform/runtime/MessageSend.h"

namespace {

namespace rt = hc::runtime;

constexpr const char* kViewHcML =
    "<View xmlns=\"http://www.halcyonplayer.net/halcyon/hcml\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xsi:type=\"LayoutView\"><Name>Top</Name>"
    "<Regions xsi:type=\"regions\"><region xsi:type=\"LayoutRegionPercent\"><Name>Left</Name>"
    "<Views xsi:type=\"views\"><view xsi:type=\"PerspectiveView\"><Name>Main</Name></view></Views></region>"
    "</Regions></View>";

class ViewsetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterAllClasses();
  }

  TraceCapture traces;
  std::string& trace = traces.text;
  KsRef<HcContextHelper> context = KsMakeRef<HcContextHelper>();
};

TEST_F(ViewsetTest, ANewViewsetAndItsHcML) {
  auto viewset = MakeObject<Viewset>(PWStringRef("Viewset"));
  ASSERT_TRUE(viewset);
  EXPECT_EQ(PWStringRef("PanoRegion"), viewset->GetLoadLayer());
  EXPECT_EQ(0, viewset->GetViewsetType());
  EXPECT_FALSE(viewset->GetView());
  EXPECT_TRUE(MakeObject<ViewsetCollection>(PWStringRef("viewsets")));

  viewset->SetName(PWStringRef("Full"));
  viewset->SetViewsetType(3);
  viewset->SetLoadLayer(PWStringRef("OverlayRegion"));
  viewset->SetProjectionEditorClassName(PWStringRef("Editor"));
  viewset->SetMainViewPath(PWStringRef("hc://View.Regions[0].View"));
  viewset->SetKeyboardResponderPath(PWStringRef("hc://View.KeyboardResponder"));
  viewset->SetViewsetImages(KsMakeRef<ObjectCollection>());
  viewset->SetViewHcML(PWStringRef(kViewHcML));
  auto paths = KsMakeRef<KsStringCollection>();
  paths->Add(PWStringRef("hc://Regions[0].View"));
  viewset->SetNamedViewsetObjectPaths(paths);
  ASSERT_EQ(0, viewset->LoadView(context));

  auto collection = KsMakeRef<ViewsetCollection>();
  collection->Add(viewset);
  const PWStringRef text = WriteObjectToHcMLString(collection, PWStringRef("Viewsets"));
  ASSERT_TRUE(text);
  const std::string hcml = text.Str();
  for (const char* written : {"<ViewsetType>3", "<LoadLayer>OverlayRegion", "<ProjectionEditorClassName>Editor",
                              "<MainViewPath>", "<KeyboardResponderPath>", "<ViewsetImages",
                              "<ViewHcML>", "<NamedViewsetObjectPaths", "xsi:type=\"viewsets\""}) {
    EXPECT_NE(std::string::npos, hcml.find(written)) << written << "\n" << hcml;
  }
  EXPECT_EQ(std::string::npos, hcml.find("<View xsi:type")) << hcml;
  EXPECT_EQ(std::string::npos, hcml.find("ViewHcMLPath")) << hcml;
  EXPECT_TRUE(hcmlroundtrip::XmllintAccepts(hcml)) << hcml;

  // Read back: found by its name, its text intact.
  auto again = KsMakeRef<HcContextHelper>();
  ASSERT_TRUE(again->LoadHcML(text)) << trace << hcml;
  KsRef<Viewset> read;
  ASSERT_EQ(0, again->GetViewsets()->GetByName(PWStringRef("Full"), &read));
  EXPECT_EQ(PWStringRef(kViewHcML), read->GetViewHcML());
  EXPECT_EQ(PWStringRef("Editor"), read->GetProjectionEditorClassName());
  EXPECT_EQ(1u, read->GetNamedViewsetObjectPaths()->GetCount());
  EXPECT_FALSE(read->GetView());
  EXPECT_EQ(AppErr::kNotFound, again->GetViewsets()->GetByName(PWStringRef("Missing"), &read));
}

TEST_F(ViewsetTest, LoadingTheViewPublishesNamedObjects) {
  auto viewset = KsMakeRef<Viewset>();
  auto previous = KsMakeRef<ObjectCollection>();
  context->SetNamedViewsetObjects(previous);
  EXPECT_EQ(AppErr::kNotReady, viewset->LoadView(context));
  EXPECT_NE(std::string::npos, trace.find("No viewset hcml"));
  EXPECT_EQ(previous.Get(), context->GetNamedViewsetObjects().Get());

  viewset->SetViewHcML(PWStringRef(kViewHcML));
  ASSERT_EQ(0, viewset->LoadView(context));
  EXPECT_FALSE(context->GetNamedViewsetObjects());
  KsRef<HcView> first = viewset->GetView();
  ASSERT_TRUE(first);

  auto paths = KsMakeRef<KsStringCollection>();
  paths->Add(PWStringRef("hc://Regions[0].View"));
  paths->Add(PWStringRef("hc://Regions[0]"));
  viewset->SetNamedViewsetObjectPaths(paths);
  ASSERT_EQ(0, viewset->LoadView(context));
  EXPECT_NE(first.Get(), viewset->GetView().Get());
  KsRef<ObjectCollection> named = context->GetNamedViewsetObjects();
  ASSERT_TRUE(named);
  ASSERT_EQ(2u, named->GetCount());
  EXPECT_EQ(PWStringRef("Main"), named->GetByIndex(0)->GetName());
  EXPECT_EQ(PWStringRef("Left"), named->GetByIndex(1)->GetName());

  // A text that does not load: the error, the objects still published.
  viewset->SetViewHcML(PWStringRef("<View"));
  EXPECT_LT(viewset->LoadView(context), 0);
  EXPECT_NE(std::string::npos, trace.find("loading View HcML"));
}

TEST_F(ViewsetTest, ViewHcMLPathReadsTheFile) {
  ScratchFolder folder;
  const std::string path = folder / "view.hcml";
  std::ofstream(path) << kViewHcML;
  auto viewset = KsMakeRef<Viewset>();
  EXPECT_EQ(0, viewset->SetViewHcMLPath(PWStringRef(path)));
  EXPECT_EQ(PWStringRef(kViewHcML), viewset->GetViewHcML());
  EXPECT_EQ(AppErr::kBadArgument, viewset->SetViewHcMLPath(PWStringRef(folder / "missing.hcml")));
  EXPECT_EQ(PWStringRef(kViewHcML), viewset->GetViewHcML());
}

TEST_F(ViewsetTest, BridgedMethodsOfTheSceneAndTheViewset) {
  rt::Id scene = GetCocoaObject(context.Get()).Get();
  ASSERT_TRUE(scene);
  rt::Value result;
  bool dirty = true;
  context->IdleClocks();
  ASSERT_EQ(rt::RuntimeErr::Ok,
            rt::Send(scene, "idleClocksWithStatusisDirty:", {rt::Value::Pointer(&dirty, 'B')}, &result));
  EXPECT_EQ(rt::Value::Int(2), result);
  EXPECT_FALSE(dirty);
  ASSERT_EQ(rt::RuntimeErr::Ok, rt::Send(scene, "resetIdle", {}, &result));
  ASSERT_EQ(rt::RuntimeErr::Ok, rt::Send(scene, "idleClocks", {}, &result));
  EXPECT_EQ(rt::Value::Int(0), result);

  // A viewset from text comes back as its proxy; bad text as nil.
  const std::string text = "<viewset xmlns=\"http://www.halcyonplayer.net/halcyon/hcml\" "
                           "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xsi:type=\"Viewset\">"
                           "<Name>Bridged</Name></viewset>";
  ASSERT_EQ(rt::RuntimeErr::Ok, rt::Send(scene, "loadViewsetFromHcML:", {rt::Value::String(text)}, &result));
  auto viewset = KsObjectFromCocoa(result.GetObject()).DynamicCast<Viewset>();
  ASSERT_TRUE(viewset);
  EXPECT_EQ(PWStringRef("Bridged"), viewset->GetName());
  ASSERT_EQ(rt::RuntimeErr::Ok, rt::Send(scene, "loadViewsetFromHcML:", {rt::Value::String("<no")}, &result));
  EXPECT_FALSE(KsObjectFromCocoa(result.GetObject()));
  EXPECT_EQ(0u, context->GetViewsets()->GetCount());

  // The root class's loads, inherited.
  ASSERT_EQ(rt::RuntimeErr::Ok, rt::Send(scene, "loadHcML:atRoot:",
                                         {rt::Value::String(text), rt::Value::String("hc://Viewsets")}, &result));
  EXPECT_EQ(rt::Value::Bool(true), result);
  ASSERT_EQ(1u, context->GetViewsets()->GetCount());
  ASSERT_EQ(rt::RuntimeErr::Ok,
            rt::Send(scene, "loadHcML:atRoot:", {rt::Value::String(text), rt::Value::String("hc://Nothing")},
                     &result));
  EXPECT_EQ(rt::Value::Bool(false), result);

  // The viewset loads its view into the scene through its own proxy.
  viewset->SetViewHcML(PWStringRef(kViewHcML));
  ASSERT_EQ(rt::RuntimeErr::Ok, rt::Send(GetCocoaObject(viewset.Get()).Get(), "loadView:",
                                         {rt::Value::Object(GetCocoaObject(context.Get()))}, &result));
  EXPECT_EQ(rt::Value::Int(0), result);
  EXPECT_TRUE(viewset->GetView());

  ASSERT_EQ(rt::RuntimeErr::Ok, rt::Send(scene, "clearContext", {}, &result));
  EXPECT_EQ(rt::Value::Int(0), result);
  EXPECT_FALSE(context->GetRootView());
}

}  // namespace
