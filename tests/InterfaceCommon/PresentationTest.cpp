// The presentation document: its property table, the main-source idiom,
// building the scene from it and writing the scene back; and the source
// descriptions that tie live sources to their HcML.

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "FileTestSupport.h"
#include "General/HcClassMap.h"
#include "General/ObjectCollection.h"
#include "InterfaceCommon/HcContextHelper.h"
#include "InterfaceCommon/HcPresentation.h"
#include "InterfaceCommon/HcProjectHelper.h"
#include "InterfaceCommon/HcProjectSource.h"
#include "InterfaceCommon/HcProjectSourceCollection.h"
#include "InterfaceCommon/SourceDescriptionCollection.h"
#include "InterfaceCommon/Viewset.h"
#include "InterfaceCommon/ViewsetCollection.h"
#include "KsTrace.h"
#include "Projection/EquirectangularProj.h"
#include "Projection/ProjectionCollection.h"
#include "RegisterAllClasses.h"
#include "TraceCapture.h"
#include "Source/QTStillImageSource.h"
#include "Source/SourceCollection.h"
#include "Time/ConvergentTransition.h"
#include "Time/DoNothingTween.h"
#include "Time/HcClock.h"
#include "Time/HcTweenCollection.h"
#include "Utilities/Chameleon.h"
#include "Utilities/HcMLLoader.h"
#include "Utilities/HcProperty.h"
#include "Utilities/XMLStringEmitter.h"
#include "View/PanoView.h"
#include "NodeField.h"
#include "Utilities/HcPropertyObjectDirectGet.h"
#include "ViewTestSupport.h"

// A controller object that is told the scene it serves.
class PresentationHolder : public KsObject {
  HC_CLASS_HEADER(PresentationHolder)
 public:
  HC_NODE_FIELD(KsRef<HcContextHelper>, ContextHelper)
};
HC_CLASS_OBJECT(PresentationHolder, KsObject)

HC_DEFINE_CLASS(PresentationHolder, KsObject, "PresentationHolder")
void PresentationHolder::PresentationHolderClass::SetupProperties() {
  AddProperty(HcPropertyObjectDirectGet<PresentationHolder, HcContextHelper>::Create(
      ThisRef(), 200, "ContextHelper", false, &PresentationHolder::GetContextHelper,
      &PresentationHolder::SetContextHelper));
}

namespace {

constexpr const char* kPresentationNamespaces =
    "xmlns=\"http://www.halcyonplayer.net/halcyon/hcml\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"";

// One perspective viewset of that name, as loaded at "hc://Viewsets".
std::string ViewsetsText(const std::string& name, const std::string& viewName) {
  return std::string("<Viewset ") + kPresentationNamespaces + " xsi:type=\"Viewset\"><Name>" + name +
         "</Name><MainViewPath>hc://View</MainViewPath><ViewHcML><![CDATA[<View " + kPresentationNamespaces +
         " xsi:type=\"PerspectiveView\"><Name>" + viewName + "</Name></View>]]></ViewHcML></Viewset>";
}

KsRef<SourceDescription> DescribedStub(const char* projectionName = nullptr) {
  auto source = KsMakeRef<StubSource>();
  if (projectionName) {
    auto projection = KsMakeRef<EquirectangularProj>();
    projection->SetName(projectionName);
    source->SetProjection(projection);
  }
  auto description = KsMakeRef<SourceDescription>();
  description->SetLiveSource(source);
  return description;
}

// Names of the properties the class writes out, in table order.
std::vector<std::string> SerializedNames(const KsRef<KsClassObject>& classObject, int32_t firstId) {
  std::vector<std::string> names;
  for (int32_t id = firstId; id < firstId + 100; ++id) {
    KsRef<HcProperty> property = classObject->FindPropertyById(id);
    if (property && property->GetShouldSerialize()) names.push_back(property->GetName().Str());
  }
  return names;
}

class PresentationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterAllClasses();
  }

  TraceCapture traces;
  std::string& trace = traces.text;
  KsRef<HcPresentation> presentation = KsMakeRef<HcPresentation>();
};

TEST_F(PresentationTest, NewPresentationAndItsPropertyTable) {
  EXPECT_EQ((KsSizeF{640.0f, 480.0f}), presentation->GetDisplaySize());
  EXPECT_EQ(PWStringRef("hc://Tweens[0]"), presentation->GetIdleTweenPath());
  ASSERT_TRUE(presentation->GetNamedControllerObjects());
  EXPECT_EQ(0u, presentation->GetNamedControllerObjects()->GetCount());
  EXPECT_FALSE(presentation->GetOpenFullScreen() || presentation->GetHideControls() ||
               presentation->GetUseIdle() || presentation->GetAutoPlay());
  EXPECT_EQ(0u, presentation->GetSourceList()->GetCount());
  EXPECT_EQ(presentation->GetSourceList(), presentation->GetSourceList());

  KsRef<KsClassObject> classObject = HcPresentation::ClassGetClassObject();
  // UseIdle is written too, so a presentation read back keeps its idle behaviour.
  EXPECT_EQ((std::vector<std::string>{"InitialViewHcML", "LoadHcML", "MainSource", "ViewsetName", "ViewsetHcML",
                                      "ViewTweensHcML", "DisplaySize", "OpenFullScreen", "HideControls",
                                      "IdleTweenPath", "UseIdle", "AutoPlay", "SourceList", "LiveClock"}),
            SerializedNames(classObject, 300));
  for (const char* name : {"InitContextFromHcML", "InitHcMLFromContext", "InitialViewHcMLPath", "ViewsetHcMLPath",
                           "ViewTweensHcMLPath"}) {
    KsRef<HcProperty> property = classObject->FindProperty(PWStringRef(name));
    ASSERT_TRUE(property) << name;
    EXPECT_FALSE(property->GetCanGet()) << name;
    bool value = true;
    PWStringRef text;
    EXPECT_NE(0, property->GetPropertyType() == KsPropertyType::kBool ? property->GetValue(presentation.Get(), &value)
                                                                       : property->GetValue(presentation.Get(), &text))
        << name;
  }
  EXPECT_EQ(0, classObject->FindProperty(PWStringRef("InitContextFromHcML"))->SetValue(presentation.Get(), false));
  EXPECT_FALSE(presentation->GetHcContext().Get() == nullptr);

  KsRef<KsClassObject> project = HcProjectHelper::ClassGetClassObject();
  EXPECT_EQ(306, project->FindProperty(PWStringRef("ViewsetName"))->GetPropertyID());
  EXPECT_EQ((std::vector<std::string>{"MovieAnnotationLookupTable"}), SerializedNames(project, 400));
  EXPECT_TRUE(KsMakeRef<HcProjectHelper>()->GetMovieAnnotationLookupTable());
}

TEST_F(PresentationTest, ReadsItsValuesFromHcMLAndWritesThemBack) {
  const std::string text = std::string("<HcPresentation ") + kPresentationNamespaces +
                           " xsi:type=\"HcPresentation\"><DisplaySize>w=800 h=600</DisplaySize>"
                           "<UseIdle>true</UseIdle><AutoPlay>true</AutoPlay><ViewsetName>Wide</ViewsetName>"
                           "</HcPresentation>";
  auto loader = KsMakeRef<HcMLLoader>();
  auto holder = KsMakeRef<Chameleon>();
  loader->SetRootObject(holder);
  loader->SetHcMLToLoad(PWStringRef(text));
  ASSERT_EQ(0, loader->LoadHcML()) << trace;
  auto read = holder->GetPropValue().DynamicCast<HcPresentation>();
  ASSERT_TRUE(read);
  EXPECT_EQ((KsSizeF{800.0f, 600.0f}), read->GetDisplaySize());
  EXPECT_TRUE(read->GetUseIdle());
  EXPECT_TRUE(read->GetAutoPlay());
  EXPECT_EQ(PWStringRef("Wide"), read->GetViewsetName());
  const std::string written = WriteObjectToHcMLString(read).Str();
  EXPECT_NE(std::string::npos, written.find("<UseIdle>true</UseIdle>")) << written;
  EXPECT_EQ(std::string::npos, written.find("HcContext")) << written;
  EXPECT_EQ(std::string::npos, written.find("NamedControllerObjects")) << written;
}

TEST_F(PresentationTest, MainSourceIdiom) {
  KsRef<SourceDescription> made = presentation->GetMainSource();
  ASSERT_TRUE(made);
  EXPECT_EQ(made, presentation->GetMainSource());
  EXPECT_EQ(1u, presentation->GetSourceList()->GetCount());
  EXPECT_NE(std::string::npos, trace.find("Creating new source desc in GetMainSource"));

  for (int i = 0; i < 2; ++i) presentation->GetSourceList()->Add(KsMakeRef<SourceDescription>());
  auto only = KsMakeRef<SourceDescription>();
  KsRef<HcProperty> mainSource = presentation->GetClassObject()->FindProperty(PWStringRef("MainSource"));
  EXPECT_EQ(0, mainSource->SetValue(presentation.Get(), KsRef<KsObject>(only)));
  ASSERT_EQ(1u, presentation->GetSourceList()->GetCount());
  EXPECT_EQ(only, presentation->GetMainSource());
  EXPECT_EQ(0, presentation->SetMainSource(nullptr));
  EXPECT_EQ(0u, presentation->GetSourceList()->GetCount());

  // A project takes only project sources, through the property as well.
  auto project = KsMakeRef<HcProjectHelper>();
  EXPECT_TRUE(project->GetMainSource().DynamicCast<HcProjectSource>());
  EXPECT_NE(std::string::npos, trace.find("Creating blank project source for old MainSource idiom"));
  KsRef<SourceDescription> kept = project->GetMainSource();
  EXPECT_EQ(-2, mainSource->SetValue(project.Get(), KsRef<KsObject>(KsMakeRef<SourceDescription>())));
  EXPECT_EQ(kept, project->GetMainSource());
  auto accepted = KsMakeRef<HcProjectSource>();
  EXPECT_EQ(0, project->SetMainSource(accepted));
  EXPECT_EQ(accepted.Get(), project->GetMainSource().Get());
}

TEST_F(PresentationTest, PathPropertiesReadWholeFiles) {
  ScratchFolder folder;
  const std::string path = folder / "view.hcml";
  std::ofstream(path) << "<text/>";
  KsRef<KsClassObject> classObject = presentation->GetClassObject();
  struct Case {
    const char* property;
    PWStringRef (HcPresentation::*getter)() const;
  } cases[] = {{"InitialViewHcMLPath", &HcPresentation::GetInitialViewHcML},
               {"ViewsetHcMLPath", &HcPresentation::GetViewsetHcML},
               {"ViewTweensHcMLPath", &HcPresentation::GetViewTweensHcML}};
  for (const Case& c : cases) {
    KsRef<HcProperty> property = classObject->FindProperty(PWStringRef(c.property));
    EXPECT_EQ(0, property->SetValue(presentation.Get(), PWStringRef(path))) << c.property;
    EXPECT_EQ("<text/>", ((*presentation).*c.getter)().Str()) << c.property;
    EXPECT_EQ(-2, property->SetValue(presentation.Get(), PWStringRef(folder / "missing.hcml"))) << c.property;
    EXPECT_EQ("<text/>", ((*presentation).*c.getter)().Str()) << c.property;
  }
  auto description = KsMakeRef<SourceDescription>();
  EXPECT_EQ(0, description->SetTweenHcMLPath(PWStringRef(path)));
  EXPECT_EQ(-2, description->SetProjectionHcMLPath(PWStringRef(folder / "missing.hcml")));
  EXPECT_EQ("<text/>", description->GetTweenHcML().Str());
  EXPECT_FALSE(description->GetProjectionHcML());
}

TEST_F(PresentationTest, UntrustedPresentationsReadOnlyTheirFolders) {
  ScratchFolder inside;
  ScratchFolder outside;
  std::ofstream(inside / "view.hcml") << "<inside/>";
  std::ofstream(outside / "view.hcml") << "<outside/>";
  KsRef<HcPresentation> untrusted;
  KsRef<SourceDescription> description;
  {
    // Made while a movie's presentation is read.
    FileAccessPolicy::Scope scope(FileAccessPolicy::InsideFolders({inside.Path()}));
    untrusted = KsMakeRef<HcPresentation>();
    description = KsMakeRef<SourceDescription>();
  }
  EXPECT_EQ(-2, untrusted->SetViewsetHcMLPath(PWStringRef(outside / "view.hcml")));
  EXPECT_EQ(-2, description->SetTweenHcMLPath(PWStringRef(outside / "view.hcml")));
  EXPECT_FALSE(untrusted->GetViewsetHcML());
  EXPECT_EQ(0, untrusted->SetViewsetHcMLPath(PWStringRef(inside / "view.hcml")));
  EXPECT_EQ(0, description->SetTweenHcMLPath(PWStringRef(inside / "view.hcml")));
  EXPECT_EQ("<inside/>", untrusted->GetViewsetHcML().Str());
  EXPECT_EQ("<inside/>", description->GetTweenHcML().Str());
}

TEST_F(PresentationTest, BuildPrefersAViewsetTheSceneHolds) {
  KsRef<HcContextHelper> context = presentation->GetHcContext();
  ASSERT_TRUE(context->LoadHcML(PWStringRef(ViewsetsText("Wide", "HeldView")), PWStringRef("hc://Viewsets")));
  presentation->SetViewsetName("Wide");
  presentation->SetViewsetHcML(PWStringRef(ViewsetsText("Wide", "TextView")));
  EXPECT_EQ(0, presentation->SetInitContextFromHcML(true)) << trace;
  EXPECT_EQ(1u, context->GetViewsets()->GetCount());
  ASSERT_TRUE(context->GetMainView());
  EXPECT_EQ(PWStringRef("HeldView"), context->GetMainView()->GetName());
  EXPECT_EQ(presentation->GetNamedControllerObjects(), context->GetNamedControllerObjects());

  // Built again, the viewset's view is loaded anew.
  KsRef<HcView> first = context->GetMainView();
  EXPECT_EQ(0, presentation->SetInitContextFromHcML(true)) << trace;
  EXPECT_NE(first, context->GetMainView());
}

TEST_F(PresentationTest, BuildFailures) {
  presentation->SetViewsetName("Wide");
  presentation->SetViewsetHcML("<Viewsets");
  EXPECT_EQ(-630, presentation->SetInitContextFromHcML(true));
  EXPECT_NE(std::string::npos, trace.find("Error loading viewset HcML into context"));

  presentation->SetViewsetHcML(nullptr);
  EXPECT_EQ(-607, presentation->SetInitContextFromHcML(true));

  // A description without a live source ends the build with its error.
  auto other = KsMakeRef<HcPresentation>();
  other->GetSourceList()->Add(KsMakeRef<SourceDescription>());
  EXPECT_EQ(-903, other->SetInitContextFromHcML(true));

  // Without a viewset name, an empty scene still builds.
  auto empty = KsMakeRef<HcPresentation>();
  EXPECT_EQ(0, empty->SetInitContextFromHcML(true));
  EXPECT_FALSE(empty->GetHcContext()->GetViewset());
}

TEST_F(PresentationTest, BuildSharesSourcesAndProjectionsByName) {
  KsRef<HcContextHelper> context = presentation->GetHcContext();
  auto standing = KsMakeRef<EquirectangularProj>();
  standing->SetName("Other");
  context->GetProjections()->Add(standing);
  auto old = KsMakeRef<EquirectangularProj>();
  old->SetName("Shared");
  context->GetProjections()->Add(old);

  KsRef<SourceDescription> first = DescribedStub("Shared");
  KsRef<SourceDescription> second = DescribedStub("Shared");
  presentation->GetSourceList()->Add(first);
  presentation->GetSourceList()->Add(second);
  ASSERT_TRUE(context->LoadHcML(PWStringRef(ViewsetsText("Wide", "V")), PWStringRef("hc://Viewsets")));
  EXPECT_EQ(0, presentation->SetInitContextFromHcML(true)) << trace;

  KsRef<ProjectionCollection> projections = context->GetProjections();
  ASSERT_EQ(2u, projections->GetCount());
  EXPECT_EQ(standing.Get(), projections->GetByIndex(0).Get());
  EXPECT_EQ(second->GetLiveSource()->GetProjection().Get(), projections->GetByIndex(1).Get());
  ASSERT_EQ(2u, context->GetSources()->GetCount());
  EXPECT_EQ(first->GetLiveSource().Get(), context->GetSources()->GetByIndex(0).Get());
  // The first viewset is chosen without a name.
  EXPECT_EQ(PWStringRef("Wide"), context->GetViewsetName());
}

TEST_F(PresentationTest, IdleTransitionAndControllers) {
  KsRef<HcContextHelper> context = presentation->GetHcContext();
  presentation->SetUseIdle(true);
  presentation->SetViewTweensHcML(PWStringRef(std::string("<Tweens ") + kPresentationNamespaces +
                                              " xsi:type=\"tweens\"><tween xsi:type=\"DoNothingTween\">"
                                              "<Name>Pan</Name></tween></Tweens>"));
  // A controller that takes the scene, and one that has no place for it.
  auto controllers = presentation->GetNamedControllerObjects();
  auto taker = KsMakeRef<PresentationHolder>();
  controllers->Add(KsMakeRef<EquirectangularProj>());
  controllers->Add(taker);
  EXPECT_EQ(0, presentation->SetInitContextFromHcML(true)) << trace;

  KsRef<HcClock> idle = context->GetIdleClock();
  EXPECT_TRUE(idle->GetUseIdleTransition());
  auto transition = idle->GetIdleTransition().DynamicCast<ConvergentTransition>();
  ASSERT_TRUE(transition);
  ASSERT_TRUE(transition->GetTargetTween());
  EXPECT_EQ(PWStringRef("Pan"), transition->GetTargetTween()->GetName());
  EXPECT_EQ(context.Get(), taker->GetContextHelper().Get());

  // A path that names no tween installs a transition without a target.
  presentation->SetIdleTweenPath("hc://IdleClock");
  EXPECT_EQ(0, presentation->SetInitContextFromHcML(true));
  transition = idle->GetIdleTransition().DynamicCast<ConvergentTransition>();
  ASSERT_TRUE(transition);
  EXPECT_FALSE(transition->GetTargetTween());
  EXPECT_TRUE(idle->GetUseIdleTransition());
}

// Text in an element of a document, escaped.
std::string PresentationEscaped(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '<' ? "&lt;" : c == '>' ? "&gt;" : c == '&' ? "&amp;" : std::string(1, c);
  return out;
}

TEST_F(PresentationTest, PresentationsBuiltInsideBuildsAreBounded) {
  // Each level's initial view makes a controller presentation that builds
  // its own scene from the next level.
  std::string text;
  for (int level = 0; level < 2 * HcPresentation::kMaxNestedBuilds; ++level) {
    const std::string initial = text.empty() ? "" : "<InitialViewHcML>" + PresentationEscaped(text) + "</InitialViewHcML>";
    text = std::string("<NamedControllerObjects ") + kPresentationNamespaces +
           " xsi:type=\"objects\"><entry xsi:type=\"HcPresentation\">" + initial +
           "<InitContextFromHcML>true</InitContextFromHcML></entry></NamedControllerObjects>";
  }
  presentation->SetInitialViewHcML(PWStringRef(text));
  EXPECT_EQ(0, presentation->SetInitContextFromHcML(true));
  EXPECT_NE(std::string::npos, trace.find("SetInitContextFromHcML: Returning AppErr -901"));
}

TEST_F(PresentationTest, WriteBackKeepsEveryDescription) {
  EXPECT_EQ(-903, presentation->SetInitHcMLFromContext(true));
  KsRef<SourceDescription> loaded = DescribedStub("Loaded");
  presentation->GetSourceList()->Add(loaded);
  KsRef<HcContextHelper> context = presentation->GetHcContext();
  ASSERT_TRUE(context->LoadHcML(PWStringRef(ViewsetsText("Wide", "V")), PWStringRef("hc://Viewsets")));
  ASSERT_EQ(0, presentation->SetInitContextFromHcML(true)) << trace;

  // A source added to the scene since the presentation was loaded.
  KsRef<SourceDescription> added = DescribedStub("Added");
  auto sources = KsMakeRef<SourceCollection>();
  sources->Add(loaded->GetLiveSource());
  sources->Add(added->GetLiveSource());
  context->SetSources(sources);
  auto pano = context->GetMainView().DynamicCast<PanoView>();
  ASSERT_TRUE(pano);
  pano->SetLookDirection(40.0f, 10.0f, 55.0f, 0.0f);

  ASSERT_EQ(0, presentation->SetInitHcMLFromContext(true)) << trace;
  KsRef<SourceDescriptionCollection> list = presentation->GetSourceList();
  ASSERT_EQ(2u, list->GetCount());
  EXPECT_EQ(loaded.Get(), list->GetByIndex(0).Get());
  EXPECT_NE(std::string::npos, loaded->GetProjectionHcML().Str().find("Loaded"));
  KsRef<SourceDescription> appended = list->GetByIndex(1);
  EXPECT_EQ(added->GetLiveSource().Get(), appended->GetLiveSource().Get());
  EXPECT_NE(std::string::npos, appended->GetProjectionHcML().Str().find("Added"));

  EXPECT_EQ(PWStringRef("Wide"), presentation->GetViewsetName());
  EXPECT_NE(std::string::npos, presentation->GetViewsetHcML().Str().find("Wide"));
  const std::string initial = presentation->GetInitialViewHcML().Str();
  EXPECT_NE(std::string::npos, initial.find("<PanAngle>40")) << initial;
  EXPECT_NE(std::string::npos, initial.find("<VFOV>55"));

  // The written initial view turns the main view of a new build back.
  pano->SetLookDirection(0.0f, 0.0f, 80.0f, 0.0f);
  ASSERT_EQ(0, presentation->SetInitContextFromHcML(true)) << trace;
  pano = context->GetMainView().DynamicCast<PanoView>();
  EXPECT_FLOAT_EQ(40.0f, pano->GetPanAngle());
  EXPECT_FLOAT_EQ(55.0f, pano->GetVFOV());

  // Without a panoramic main view there is no initial view.
  context->SetViewset(nullptr);
  auto bare = KsMakeRef<HcPresentation>();
  bare->GetHcContext();
  EXPECT_EQ(0, bare->SetInitHcMLFromContext(true));
  EXPECT_FALSE(bare->GetInitialViewHcML());
}

TEST_F(PresentationTest, SourceDescriptionsCarryProjectionAndTweens) {
  auto description = KsMakeRef<SourceDescription>();
  EXPECT_FALSE(description->GetInitSourceFromHcML());
  EXPECT_FALSE(description->GetInitHcMLFromSource());
  EXPECT_EQ(-903, description->SetInitSourceFromHcML(true));
  EXPECT_EQ(-903, description->SetInitHcMLFromSource(true));
  EXPECT_EQ(0, description->SetInitSourceFromHcML(false));

  auto source = KsMakeRef<StubSource>();
  auto projection = KsMakeRef<EquirectangularProj>();
  projection->SetName("Equi");
  projection->SetTiltMaxDeg(70.0f);
  source->SetProjection(projection);
  auto tweens = KsMakeRef<HcTweenCollection>();
  auto tween = KsMakeRef<DoNothingTween>();
  tween->SetName("Idle");
  tweens->Add(tween);
  source->SetTweens(tweens);
  description->SetLiveSource(source);
  ASSERT_EQ(0, description->SetInitHcMLFromSource(true)) << trace;

  // Applied to a fresh source of the same kind.
  auto fresh = KsMakeRef<StubSource>();
  description->SetLiveSource(fresh);
  ASSERT_EQ(0, description->SetInitSourceFromHcML(true)) << trace;
  auto freshProjection = fresh->GetProjection().DynamicCast<EquirectangularProj>();
  ASSERT_TRUE(freshProjection);
  EXPECT_EQ(PWStringRef("Equi"), freshProjection->GetName());
  EXPECT_FLOAT_EQ(70.0f, freshProjection->GetTiltMaxDeg());
  auto freshTweens = fresh->GetTweens().DynamicCast<HcTweenCollection>();
  ASSERT_TRUE(freshTweens);
  ASSERT_EQ(1u, freshTweens->GetCount());
  EXPECT_EQ(PWStringRef("Idle"), freshTweens->GetByIndex(0)->GetName());

  // Only tweens: the projection stays.
  auto tweensOnly = KsMakeRef<SourceDescription>();
  tweensOnly->SetTweenHcML(description->GetTweenHcML());
  auto kept = KsMakeRef<StubSource>();
  kept->SetProjection(projection);
  tweensOnly->SetLiveSource(kept);
  EXPECT_EQ(0, tweensOnly->SetInitSourceFromHcML(true));
  EXPECT_EQ(projection.Get(), kept->GetProjection().Get());
  EXPECT_TRUE(kept->GetTweens());

  // Text that does not parse is an error, never half a success.
  description->SetProjectionHcML("<Projection");
  EXPECT_LT(description->SetInitSourceFromHcML(true), 0);
}

TEST_F(PresentationTest, ProjectSourcesCarryTheMoviePath) {
  auto project = KsMakeRef<HcProjectSource>();
  EXPECT_TRUE(project->GetCopySoundTrack());
  EXPECT_FALSE(project->GetEmbedDataInSample());
  EXPECT_EQ(0u, project->GetSourceName());
  EXPECT_FALSE(project->GetSourceMoviePath());

  ScratchFolder folder;
  const std::string image = folder / "still.png";
  ASSERT_EQ(0, RunTool({"ffmpeg", "-v", "error", "-f", "lavfi", "-i", "color=c=gray:s=16x8", "-frames:v", "1",
                        image}));
  auto still = KsMakeRef<QTStillImageSource>();
  project->SetLiveSource(still);
  project->SetSourceMoviePath(PWStringRef(image));
  EXPECT_EQ(0, project->SetInitSourceFromHcML(true)) << trace;
  PWStringRef path;
  still->GetPath(&path);
  EXPECT_EQ(PWStringRef(image), path);
  project->SetSourceMoviePath(nullptr);
  EXPECT_EQ(0, project->SetInitHcMLFromSource(true)) << trace;
  EXPECT_EQ(PWStringRef(image), project->GetSourceMoviePath());

  // A live source without a "Path" fails with the property error.
  project->SetLiveSource(KsMakeRef<StubSource>());
  EXPECT_LT(project->SetInitSourceFromHcML(true), 0);
  EXPECT_LT(project->SetInitHcMLFromSource(true), 0);

  // Both collections take only their own elements.
  auto descriptions = KsMakeRef<SourceDescriptionCollection>();
  auto projects = KsMakeRef<HcProjectSourceCollection>();
  EXPECT_TRUE(descriptions->IsLegalElement(project));
  EXPECT_FALSE(descriptions->IsLegalElement(KsMakeRef<EquirectangularProj>()));
  EXPECT_FALSE(projects->IsLegalElement(KsMakeRef<SourceDescription>()));
  EXPECT_TRUE(projects->IsLegalElement(project));
  projects->Add(project);
  projects->Add(KsMakeRef<HcProjectSource>());
  KsRef<HcProperty> insert;
  projects->GetClassObject()->GetPropertyForPropertyName(insert, PWStringRef("+0"));
  ASSERT_TRUE(insert);
  auto front = KsMakeRef<HcProjectSource>();
  EXPECT_EQ(0, insert->SetValue(projects.Get(), KsRef<KsObject>(front)));
  EXPECT_EQ(front.Get(), projects->GetByIndex(0).Get());
  EXPECT_EQ(3u, projects->GetCount());
}

}  // namespace
