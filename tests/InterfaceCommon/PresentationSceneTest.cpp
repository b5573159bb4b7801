// Whole scenes from presentation HcML, drawn off screen through the view
// helper and compared with ffmpeg's v360 of the same still; and the
// presentation a scene writes back, read again, giving the same scene.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "EquirectangularGrid.h"
#include "FileTestSupport.h"
#include "InterfaceCommon/GLPbufferContextMac.h"
#include "InterfaceCommon/HcContextHelper.h"
#include "InterfaceCommon/HcPresentation.h"
#include "KsTrace.h"
#include "RegisterAllClasses.h"
#include "Source/QTStillImageSource.h"
#include "Utilities/Chameleon.h"
#include "Utilities/HcMLLoader.h"
#include "Utilities/XMLStringEmitter.h"
#include "View/PanoView.h"
#include "ViewPictureSupport.h"

namespace {

constexpr int kSceneWidth = 640;
constexpr int kSceneHeight = 480;
constexpr double kPi = 3.14159265358979323846;
constexpr const char* kSceneNamespaces =
    "xmlns=\"http://www.halcyonplayer.net/halcyon/hcml\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"";

// A viewset whose main view is of the given class, as loaded at "hc://Viewsets".
std::string ViewsetText(const std::string& name, const std::string& viewClass) {
  return std::string("<Viewset ") + kSceneNamespaces + " xsi:type=\"Viewset\"><Name>" + name +
         "</Name><MainViewPath>hc://View</MainViewPath><ViewHcML><![CDATA[<View " + kSceneNamespaces + " xsi:type=\"" +
         viewClass + "\"><Name>" + name + "View</Name><Source xsi:type=\"PanoSource\" href=\"hc://Source\"/></View>]]></ViewHcML>"
         "</Viewset>";
}

// Markup inside a string element, escaped (it may hold CDATA sections itself).
std::string SceneEscaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '<') {
      out += "&lt;";
    } else if (c == '>') {
      out += "&gt;";
    } else if (c == '&') {
      out += "&amp;";
    } else {
      out += c;
    }
  }
  return out;
}

// A presentation of one equirectangular still seen through a perspective
// viewset at the look.
std::string PresentationText(const std::string& stillPath, const Look& look) {
  char initialView[400];
  std::snprintf(initialView, sizeof initialView,
                "<ViewProxy %s xsi:type=\"PropertyProxy_PanoView_\" href=\"hc://ViewProxy\"><PanAngle>%g</PanAngle><TiltAngle>%g</TiltAngle>"
                "<VFOV>%g</VFOV></ViewProxy>",
                kSceneNamespaces, look.pan, look.tilt, look.vfov);
  return std::string("<HcPresentation ") + kSceneNamespaces + " xsi:type=\"HcPresentation\">" +
         "<SourceList xsi:type=\"SourceDescriptionCollection\"><SourceDescription xsi:type=\"SourceDescription\">"
         "<LiveSource xsi:type=\"QTStillImageSource\"><Path>" + stillPath + "</Path>"
         "<Projection xsi:type=\"EquirectangularProj\"/></LiveSource></SourceDescription></SourceList>"
         "<ViewsetName>Perspective</ViewsetName><ViewsetHcML>" + SceneEscaped(ViewsetText("Perspective", "PerspectiveView")) +
         "</ViewsetHcML><InitialViewHcML>" + SceneEscaped(initialView) + "</InitialViewHcML></HcPresentation>";
}

KsRef<HcPresentation> ReadPresentation(const std::string& text) {
  auto holder = KsMakeRef<Chameleon>();
  auto loader = KsMakeRef<HcMLLoader>();
  loader->SetRootObject(holder);
  loader->SetHcMLToLoad(PWStringRef(text));
  EXPECT_EQ(0, loader->LoadHcML()) << text;
  return holder->GetPropValue().DynamicCast<HcPresentation>();
}

bool XmllintAccepts(const std::string& text) {
  ScratchFolder folder;
  const std::string path = folder / "presentation.hcml";
  std::ofstream(path) << text;
  return RunTool({"xmllint", "--noout", path}) == 0;
}

// v360's cylindrical picture of the whole turn centred on our pan (the
// cylinder view puts 360 degrees over the width and the tangent of the tilt
// at the same scale).
std::string V360Cylinder(float pan) {
  const double vfov = 2.0 * std::atan(kPi * kSceneHeight / kSceneWidth) * 180.0 / kPi;
  char text[200];
  std::snprintf(text, sizeof text, "v360=e:cylindrical:yaw=%.4f:h_fov=360:v_fov=%.4f:interp=linear", V360Yaw(pan),
                vfov);
  return text;
}

// The scene drawn through an off-screen view helper, as the player's view
// would draw it.
class PresentationOffscreenScene {
 public:
  explicit PresentationOffscreenScene(const KsRef<HcContextHelper>& context) : m_helper(KsMakeRef<GLPbufferContextMac>()) {
    m_helper->SetContext(context);
    m_helper->Resize(0, 0, kSceneWidth, kSceneHeight);
    m_helper->SetActive(true);
  }
  ~PresentationOffscreenScene() { m_helper->ReleaseGLResources(); }

  TestImage Draw() {
    const eAppErr drawn = m_helper->Draw();
    EXPECT_EQ(0, drawn);
    if (AppErrFailed(drawn)) return {};
    std::vector<uint8_t> bgra(static_cast<size_t>(kSceneWidth) * kSceneHeight * 4);
    HcRenderPort port{bgra.data(), bgra.size(), static_cast<size_t>(kSceneWidth) * 4};
    if (!m_helper->CopyFrameBufferToRenderPort(port)) {
      ADD_FAILURE() << "nothing to copy";
      return {};
    }
    TestImage image = TestImage::Blank(kSceneWidth, kSceneHeight, 3);
    for (size_t i = 0; i < static_cast<size_t>(kSceneWidth) * kSceneHeight; ++i) {
      for (int c = 0; c < 3; ++c) image.pixels[i * 3 + c] = bgra[i * 4 + 2 - c];
    }
    return image;
  }

 private:
  KsRef<GLPbufferContextMac> m_helper;
};

class PresentationScene : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterAllClasses();
    picture = MakeEquirectangularGrid(1024, 512);
    const std::string pnm = folder / "still.ppm";
    ASSERT_TRUE(WritePnm(pnm, picture));
    ASSERT_EQ(0, RunTool({"ffmpeg", "-nostdin", "-v", "error", "-y", "-i", pnm, stillPath}));
  }

  ScratchFolder folder;
  const std::string stillPath = folder / "still.png";
  TestImage picture;
};

TEST_F(PresentationScene, PerspectiveAndCylinderViewsetsMatchV360) {
  const Look look{200.0f, -20.0f, 50.0f};
  KsRef<HcPresentation> presentation = ReadPresentation(PresentationText(stillPath, look));
  ASSERT_TRUE(presentation);
  KsRef<HcContextHelper> context = presentation->GetHcContext();
  // The application's own viewsets are in the scene before it is built.
  ASSERT_TRUE(context->LoadHcML(PWStringRef(ViewsetText("Cylinder", "CylinderView")), PWStringRef("hc://Viewsets")));
  ASSERT_EQ(0, presentation->SetInitContextFromHcML(true));
  EXPECT_EQ(PWStringRef("Perspective"), context->GetViewsetName());

  PresentationOffscreenScene scene(context);
  const TestImage ours = scene.Draw();
  ASSERT_FALSE(ours.Empty());
  const TestImage theirs = RunV360(picture, V360Flat(look, kSceneWidth, kSceneHeight), kSceneWidth, kSceneHeight);
  ASSERT_FALSE(theirs.Empty());
  EXPECT_LE(BlurredMeanAbsDifference(ours, theirs), 4.0);
  EXPECT_GT(BlurredMeanAbsDifference(ours, MirroredLeftRight(theirs)), 8.0);
  const Look elsewhere{look.pan + 30.0f, look.tilt, look.vfov};
  EXPECT_GT(BlurredMeanAbsDifference(ours, RunV360(picture, V360Flat(elsewhere, kSceneWidth, kSceneHeight), kSceneWidth, kSceneHeight)),
            8.0);

  // Switching keeps the look direction; the cylinder shows the whole turn.
  ASSERT_EQ(0, context->SetViewsetName(PWStringRef("Cylinder")));
  const TestImage cylinder = scene.Draw();
  ASSERT_FALSE(cylinder.Empty());
  const TestImage theirCylinder = RunV360(picture, V360Cylinder(look.pan), kSceneWidth, kSceneHeight);
  ASSERT_FALSE(theirCylinder.Empty());
  EXPECT_LE(BlurredMeanAbsDifference(cylinder, theirCylinder), 4.0);
  EXPECT_GT(BlurredMeanAbsDifference(cylinder, theirs), 8.0);
}

TEST_F(PresentationScene, WrittenPresentationReadsBackAsTheSameScene) {
  const Look look{90.0f, 10.0f, 60.0f};
  KsRef<HcPresentation> first = ReadPresentation(PresentationText(stillPath, look));
  ASSERT_TRUE(first);
  ASSERT_EQ(0, first->SetInitContextFromHcML(true));
  auto pano = first->GetHcContext()->GetMainView().DynamicCast<PanoView>();
  ASSERT_TRUE(pano);
  pano->SetLookDirection(120.0f, 5.0f, 45.0f, 0.0f);
  first->SetUseIdle(true);
  ASSERT_EQ(0, first->SetInitHcMLFromContext(true));
  const std::string written = WriteObjectToHcMLString(first).Str();
  ASSERT_FALSE(written.empty());
  EXPECT_TRUE(XmllintAccepts(written)) << written;

  // Read back; the live source comes from outside the presentation (the
  // movie's track, or here the same still), as when a movie is opened.
  KsRef<HcPresentation> second = ReadPresentation(written);
  ASSERT_TRUE(second);
  EXPECT_TRUE(second->GetUseIdle());
  ASSERT_EQ(1u, second->GetSourceList()->GetCount());
  auto still = KsMakeRef<QTStillImageSource>();
  ASSERT_EQ(0, still->SetPath(PWStringRef(stillPath)));
  second->GetMainSource()->SetLiveSource(still);
  ASSERT_EQ(0, second->GetMainSource()->SetInitSourceFromHcML(true));
  ASSERT_EQ(0, second->SetInitContextFromHcML(true));
  ASSERT_EQ(0, second->SetInitHcMLFromContext(true));
  const std::string rewritten = WriteObjectToHcMLString(second).Str();
  EXPECT_EQ(written, rewritten);

  PresentationOffscreenScene firstScene(first->GetHcContext());
  const TestImage before = firstScene.Draw();
  PresentationOffscreenScene secondScene(second->GetHcContext());
  const TestImage after = secondScene.Draw();
  ASSERT_FALSE(before.Empty());
  ASSERT_FALSE(after.Empty());
  EXPECT_LE(BlurredMeanAbsDifference(before, after), 1.0);
  const Look turned{120.0f, 5.0f, 45.0f};
  EXPECT_LE(BlurredMeanAbsDifference(after, RunV360(picture, V360Flat(turned, kSceneWidth, kSceneHeight), kSceneWidth, kSceneHeight)),
            4.0);
}

}  // namespace
