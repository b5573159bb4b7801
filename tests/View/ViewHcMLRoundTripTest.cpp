#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "FileTestSupport.h"
#include "General/ObjectCollection.h"
#include "Projection/EquirectangularProj.h"
#include "RegisterAllClasses.h"
#include "Utilities/HcMLLoader.h"
#include "Utilities/XMLStringEmitter.h"
#include "View/CartesianProjectionView.h"
#include "View/CylinderGrid.h"
#include "View/CylinderViewOpenGL.h"
#include "View/FlatSourceView.h"
#include "View/FrameSubViewCollection.h"
#include "View/FrameView.h"
#include "View/LayoutRegionAbsolute.h"
#include "View/LayoutRegionCollection.h"
#include "View/LayoutRegionPercent.h"
#include "View/LayoutView.h"
#include "View/PanTiltGridOverlay.h"
#include "View/PerspectiveGrid.h"
#include "View/PerspectiveViewOpenGL.h"
#include "View/SphereGrid.h"
#include "View/SphereViewOpenGL.h"
#include "View/ViewCollection.h"

namespace {

bool XmllintAccepts(const std::string& text) {
  ScratchFolder folder;
  const std::string path = folder / "views.hcml";
  WriteText(path, text);
  return RunTool({"xmllint", "--noout", path}) == 0;
}

std::string Write(const KsRef<KsObject>& object) {
  const PWStringRef text = WriteObjectToHcMLString(object, "entry");
  return text ? text.Str() : std::string();
}

// Written as HcML (checked by xmllint), loaded back into a list, and written
// again: the second text must be the first.
KsRef<KsObject> RoundTrip(const KsRef<KsObject>& object, std::string* text) {
  *text = Write(object);
  EXPECT_FALSE(text->empty());
  EXPECT_TRUE(XmllintAccepts(*text)) << *text;
  auto list = KsMakeRef<ObjectCollection>();
  auto loader = KsMakeRef<HcMLLoader>();
  loader->SetRootObject(list);
  loader->SetHcMLToLoad(PWStringRef(*text));
  EXPECT_EQ(0, loader->LoadHcML()) << *text;
  EXPECT_EQ(1u, list->GetCount()) << *text;
  KsRef<KsObject> loaded;
  list->GetObjectByIndex(0, &loaded);
  if (!loaded) return {};
  EXPECT_EQ(object->GetClassObject(), loaded->GetClassObject()) << *text;
  EXPECT_EQ(*text, Write(loaded));
  return loaded;
}

class ViewHcML : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterAllClasses(); }
};

template <class V>
KsRef<V> Looking(KsRef<V> view) {
  view->SetLookConstraints(15);
  view->SetVFOVMax(150.0f);
  view->SetLookDirection(123.5f, -12.25f, 64.0f, 3.0f);
  view->SetOpacity(0.75f);
  view->SetHidden(true);
  return view;
}

template <class V>
void ExpectLook(const KsRef<KsObject>& loaded, const std::string& text) {
  auto view = loaded.DynamicCast<V>();
  ASSERT_TRUE(view) << text;
  EXPECT_FLOAT_EQ(123.5f, view->GetPanAngle()) << text;
  EXPECT_FLOAT_EQ(-12.25f, view->GetTiltAngle()) << text;
  EXPECT_FLOAT_EQ(64.0f, view->GetVFOV()) << text;
  EXPECT_FLOAT_EQ(3.0f, view->GetSkew()) << text;
  EXPECT_EQ(15u, view->GetLookConstraints()) << text;
  EXPECT_FLOAT_EQ(0.75f, view->GetOpacity()) << text;
  EXPECT_TRUE(view->IsHidden()) << text;
}

TEST_F(ViewHcML, PanoramicViewsKeepTheirLookAndSettings) {
  std::string text;
  auto perspective = Looking(KsMakeRef<PerspectiveViewOpenGL>());
  perspective->SetLOD(60);
  perspective->SetOverlapPixels(12);
  perspective->SetDrawLookPosition(true);
  KsRef<KsObject> loaded = RoundTrip(perspective, &text);
  ExpectLook<PerspectiveViewOpenGL>(loaded, text);
  EXPECT_NE(std::string::npos, text.find("xsi:type=\"PerspectiveView\"")) << text;
  EXPECT_EQ(60u, loaded.DynamicCast<PerspectiveViewOpenGL>()->GetLOD());
  EXPECT_EQ(12, loaded.DynamicCast<PerspectiveViewOpenGL>()->GetOverlapPixels());

  auto cylinder = Looking(KsMakeRef<CylinderViewOpenGL>());
  cylinder->SetLOD(40);
  loaded = RoundTrip(cylinder, &text);
  ExpectLook<CylinderViewOpenGL>(loaded, text);
  EXPECT_EQ(40u, loaded.DynamicCast<CylinderViewOpenGL>()->GetLOD());

  auto sphere = Looking(KsMakeRef<SphereViewOpenGL>());
  sphere->SetRadialOffset(-2.5f);
  loaded = RoundTrip(sphere, &text);
  ExpectLook<SphereViewOpenGL>(loaded, text);
  EXPECT_FLOAT_EQ(-2.5f, loaded.DynamicCast<SphereViewOpenGL>()->GetRadialOffset());

  auto cartesian = Looking(KsMakeRef<CartesianProjectionView>());
  auto projection = KsMakeRef<EquirectangularProj>();
  projection->SetTiltMaxDeg(60.0f);
  cartesian->SetProjection(projection);
  cartesian->SetLOD(20);
  cartesian->SetIgnoreLookDirection(true);
  cartesian->SetUseSourceCropping(false);
  loaded = RoundTrip(cartesian, &text);
  ExpectLook<CartesianProjectionView>(loaded, text);
  auto back = loaded.DynamicCast<CartesianProjectionView>();
  EXPECT_EQ(20u, back->GetLOD());
  EXPECT_TRUE(back->GetIgnoreLookDirection());
  EXPECT_FALSE(back->GetUseSourceCropping());
  ASSERT_TRUE(back->GetProjection());
  EXPECT_FLOAT_EQ(60.0f, back->GetProjection()->GetTiltMaxDeg());

  auto flat = KsMakeRef<FlatSourceView>();
  flat->SetZDepth(0.5f);
  flat->SetDrawTileBoundaries(true);
  loaded = RoundTrip(flat, &text);
  EXPECT_FLOAT_EQ(0.5f, loaded.DynamicCast<FlatSourceView>()->GetZDepth());
  EXPECT_TRUE(loaded.DynamicCast<FlatSourceView>()->GetDrawTileBoundaries());
}

TEST_F(ViewHcML, LayoutAndFrameViewsKeepTheirTrees) {
  std::string text;
  auto layout = KsMakeRef<LayoutView>();
  auto regions = KsMakeRef<LayoutRegionCollection>();
  auto percent = KsMakeRef<LayoutRegionPercent>();
  percent->SetFrameRect({0, 0.5f, 1, 0.5f});
  percent->SetView(KsMakeRef<PerspectiveViewOpenGL>());
  auto absolute = KsMakeRef<LayoutRegionAbsolute>();
  absolute->SetFrameRect({-110, 10, 100, 50});
  absolute->SetHOffsetFromCenter(true);
  auto views = KsMakeRef<ViewCollection>();
  views->Add(KsMakeRef<FlatSourceView>());
  views->Add(KsMakeRef<CylinderViewOpenGL>());
  absolute->SetViews(views);
  regions->Add(percent);
  regions->Add(absolute);
  layout->SetRegions(regions);
  KsRef<KsObject> loaded = RoundTrip(layout, &text);
  auto backLayout = loaded.DynamicCast<LayoutView>();
  ASSERT_TRUE(backLayout) << text;
  ASSERT_EQ(2u, backLayout->GetRegions()->GetCount()) << text;
  auto backAbsolute = backLayout->GetRegions()->GetByIndex(1).DynamicCast<LayoutRegionAbsolute>();
  ASSERT_TRUE(backAbsolute) << text;
  EXPECT_EQ(KsRectF(-110, 10, 100, 50), backAbsolute->GetFrameRect());
  EXPECT_TRUE(backAbsolute->GetHOffsetFromCenter());
  ASSERT_EQ(2u, backAbsolute->GetViews()->GetCount());
  EXPECT_TRUE(backAbsolute->GetViews()->GetByIndex(1).DynamicCast<CylinderViewOpenGL>());
  // The loaded tree lays out and relays like a built one.
  backLayout->SetFrame({0, 0, 800, 600});
  EXPECT_EQ(KsRectF(290, 10, 100, 50), backAbsolute->GetView()->GetFrame());

  auto frame = KsMakeRef<FrameView>();
  frame->SetVertical(false);
  frame->AddView(KsMakeRef<FlatSourceView>(), 2.0f);
  frame->AddView(KsMakeRef<PerspectiveViewOpenGL>(), 1.0f);
  loaded = RoundTrip(frame, &text);
  auto backFrame = loaded.DynamicCast<FrameView>();
  ASSERT_TRUE(backFrame) << text;
  EXPECT_FALSE(backFrame->GetVertical());
  ASSERT_EQ(2u, backFrame->GetSubViews()->GetCount()) << text;
  EXPECT_FLOAT_EQ(2.0f, backFrame->GetSubViews()->GetByIndex(0)->GetProportion());
  EXPECT_TRUE(backFrame->GetSubViews()->GetByIndex(1)->GetView().DynamicCast<PerspectiveViewOpenGL>());
}

TEST_F(ViewHcML, OverlayAndGridsKeepTheirSettings) {
  std::string text;
  auto overlay = KsMakeRef<PanTiltGridOverlay>();
  overlay->SetGridColor({0.25f, 0.5f, 1.0f, 0.75f});
  overlay->SetPanDivisions(30);
  overlay->SetTiltDivisions(40);
  overlay->SetZDepth(0.5f);
  overlay->SetReferenceView(KsMakeRef<SphereViewOpenGL>());
  KsRef<KsObject> loaded = RoundTrip(overlay, &text);
  auto back = loaded.DynamicCast<PanTiltGridOverlay>();
  ASSERT_TRUE(back) << text;
  EXPECT_EQ((KsColorF{0.25f, 0.5f, 1.0f, 0.75f}), back->GetGridColor());
  EXPECT_EQ(30u, back->GetPanDivisions());
  EXPECT_EQ(40u, back->GetTiltDivisions());
  EXPECT_TRUE(back->GetReferenceView().DynamicCast<SphereViewOpenGL>());

  auto sphereGrid = KsMakeRef<SphereGrid>();
  sphereGrid->SetRadius(4.0f);
  sphereGrid->SetLOD(36);
  loaded = RoundTrip(sphereGrid, &text);
  EXPECT_FLOAT_EQ(4.0f, loaded.DynamicCast<SphereGrid>()->GetRadius());
  EXPECT_EQ(36u, loaded.DynamicCast<SphereGrid>()->GetLOD());
  for (KsRef<PanTiltGrid> grid : {KsRef<PanTiltGrid>(KsMakeRef<PerspectiveGrid>()),
                                  KsRef<PanTiltGrid>(KsMakeRef<CylinderGrid>())}) {
    grid->SetLOD(8);
    loaded = RoundTrip(grid, &text);
    EXPECT_EQ(8u, loaded.DynamicCast<PanTiltGrid>()->GetLOD());
  }
}

// Values HcML may carry that the views refuse keep the defaults.
TEST_F(ViewHcML, RefusedValuesLeaveTheDefaults) {
  auto load = [](const std::string& type, const std::string& body) {
    const std::string text =
        "<?xml version=\"1.0\"?><entry xmlns=\"http://www.halcyonplayer.net/halcyon/hcml\" "
        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xsi:type=\"" + type + "\">" + body + "</entry>";
    auto list = KsMakeRef<ObjectCollection>();
    auto loader = KsMakeRef<HcMLLoader>();
    loader->SetRootObject(list);
    loader->SetHcMLToLoad(PWStringRef(text));
    loader->LoadHcML();
    KsRef<KsObject> loaded;
    if (list->GetCount() == 1) list->GetObjectByIndex(0, &loaded);
    return loaded;
  };
  auto perspective = load("PerspectiveView", "<LOD>2</LOD><OverlapPixels>4</OverlapPixels>");
  ASSERT_TRUE(perspective.DynamicCast<PerspectiveViewOpenGL>());
  EXPECT_EQ(120u, perspective.DynamicCast<PerspectiveViewOpenGL>()->GetLOD());
  EXPECT_EQ(4, perspective.DynamicCast<PerspectiveViewOpenGL>()->GetOverlapPixels());
  auto overlay = load("PanTiltGridOverlay", "<PanDivisions>1</PanDivisions><TiltDivisions>9</TiltDivisions>");
  ASSERT_TRUE(overlay.DynamicCast<PanTiltGridOverlay>());
  EXPECT_EQ(120u, overlay.DynamicCast<PanTiltGridOverlay>()->GetPanDivisions());
  EXPECT_EQ(9u, overlay.DynamicCast<PanTiltGridOverlay>()->GetTiltDivisions());
}

}  // namespace
