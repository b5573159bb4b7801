#include <gtest/gtest.h>

#include <string>

#include "FileTestSupport.h"
#include "General/KsData.h"
#include "General/ObjectCollection.h"
#include "RegisterAllClasses.h"
#include "Utilities/HcMLLoader.h"
#include "Utilities/HcPropertyBinding.h"
#include "Utilities/XMLStringEmitter.h"
#include "View/HcGlyphButton.h"
#include "View/HcTexViewer.h"
#include "View/PerspectiveViewOpenGL.h"
#include "View/RTFTextView.h"
#include "View/TextDisplay.h"
#include "View/VectorObjectCollection.h"
#include "View/VectorView.h"
#include "View/ViewCollection.h"
#include "View/ViewOutliner.h"

namespace {

std::string Write(const KsRef<KsObject>& object) {
  const PWStringRef text = WriteObjectToHcMLString(object, "entry");
  return text ? text.Str() : std::string();
}

// Written as HcML (checked by xmllint), loaded back and written again: the
// second text must be the first.
KsRef<KsObject> RoundTrip(const KsRef<KsObject>& object, std::string* text) {
  *text = Write(object);
  EXPECT_FALSE(text->empty());
  ScratchFolder folder;
  WriteText(folder / "overlay.hcml", *text);
  EXPECT_EQ(0, RunTool({"xmllint", "--noout", folder / "overlay.hcml"})) << *text;
  auto list = KsMakeRef<ObjectCollection>();
  auto loader = KsMakeRef<HcMLLoader>();
  loader->SetRootObject(list);
  loader->SetHcMLToLoad(PWStringRef(*text));
  EXPECT_EQ(0, loader->LoadHcML()) << *text;
  KsRef<KsObject> loaded;
  list->GetObjectByIndex(0, &loaded);
  if (!loaded) return {};
  EXPECT_EQ(object->GetClassObject(), loaded->GetClassObject()) << *text;
  EXPECT_EQ(*text, Write(loaded));
  return loaded;
}

class OverlayHcML : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterAllClasses(); }
};

TEST_F(OverlayHcML, VectorOverlayWithEveryKindOfObject) {
  auto context = KsMakeRef<PerspectiveViewOpenGL>();
  context->SetName("Main");
  auto view = KsMakeRef<VectorView>();
  view->SetContextView(context);
  view->SetBackgroundColor({0.25f, 0.5f, 0.75f, 1.0f});
  view->SetDrawBackground(true);
  view->SetDrawObjectsOverBackground(true);
  auto objects = KsMakeRef<VectorObjectCollection>();
  auto outliner = KsMakeRef<ViewOutliner>();
  outliner->SetOutlinedView(context);
  outliner->SetPointsPerSide(7);
  outliner->SetDrawFill(true);
  outliner->SetOutlineWidth(3.5f);
  outliner->SetFillColor({1, 0, 0, 0.5f});
  objects->Add(outliner);
  auto display = KsMakeRef<TextDisplay>();
  auto binding = KsMakeRef<HcPropertyBinding>();
  binding->SetTargetObject(context);
  binding->SetPropertyName("PanAngle");
  ASSERT_EQ(0, display->SetPropertyBinding(binding));
  ASSERT_EQ(0, display->SetFormatString(PWStringRef("pan %.1f")));
  display->SetDrawPointPercent({0.25f, 0.75f});
  objects->Add(display);
  auto button = KsMakeRef<HcGlyphButton>();
  button->SetEnabled(false);
  button->SetState(true);
  button->SetFramePercent(KsRectF(0.5f, 0.25f, 0.125f, 0.0625f));
  button->SetFrameInPoints(true);
  button->SetOpacity(0.5f);
  objects->Add(button);
  auto viewer = KsMakeRef<HcTexViewer>();
  viewer->SetWhichTexture(2);
  viewer->SetDrawTileBoundary(false);
  objects->Add(viewer);
  view->SetVectorObjects(objects);

  std::string text;
  auto loaded = RoundTrip(view, &text).DynamicCast<VectorView>();
  ASSERT_TRUE(loaded);
  for (const char* name : {"VectorOverlay", "vectors", "ViewOutliner", "TextDisplay", "HcGlyphButton", "HcTexViewer",
                           "PointsPerSide", "OutlinedView", "FormatString", "DrawPointPercent", "WhichTexture"}) {
    EXPECT_NE(std::string::npos, text.find(name)) << name;
  }
  EXPECT_EQ(std::string::npos, text.find("TextureCount"));
  EXPECT_TRUE(loaded->GetDrawObjectsOverBackground());
  ASSERT_EQ(4u, loaded->GetVectorObjects()->GetCount());
  auto loadedOutliner = loaded->GetVectorObjects()->GetByIndex(0).DynamicCast<ViewOutliner>();
  ASSERT_TRUE(loadedOutliner);
  EXPECT_EQ(7u, loadedOutliner->GetPointsPerSide());
  EXPECT_EQ(loaded->GetContextView().Get(), loadedOutliner->GetOutlinedView().Get());
  auto loadedDisplay = loaded->GetVectorObjects()->GetByIndex(1).DynamicCast<TextDisplay>();
  ASSERT_TRUE(loadedDisplay && loadedDisplay->GetPropertyBinding());
  EXPECT_EQ("pan %.1f", std::string(loadedDisplay->GetFormatString().View()));
  auto loadedButton = loaded->GetVectorObjects()->GetByIndex(2).DynamicCast<HcGlyphButton>();
  ASSERT_TRUE(loadedButton);
  EXPECT_FALSE(loadedButton->GetEnabled());
  EXPECT_TRUE(loadedButton->GetState());
  EXPECT_EQ(KsRectF(0.5f, 0.25f, 0.125f, 0.0625f), loadedButton->GetFramePercent());
  EXPECT_EQ(2u, loaded->GetVectorObjects()->GetByIndex(3).DynamicCast<HcTexViewer>()->GetWhichTexture());
}

TEST_F(OverlayHcML, CaptionKeepsItsRtfAndSettings) {
  const std::string rtf = R"({\rtf1\ansi{\fonttbl\f0\fswiss Helvetica;}\f0\fs28 Caf\'e9 <&> ]]>})";
  auto data = KsMakeRef<KsData>();
  data->SetLength(static_cast<uint32_t>(rtf.size()));
  data->SetBytes(rtf.data());
  auto caption = KsMakeRef<RTFTextView>();
  caption->SetRTFData(data);
  caption->SetTextColor({1, 1, 0, 1});
  caption->SetBackgroundColor({0, 0, 0, 0.5f});
  caption->SetScaleText(true);
  caption->SetBitmapScaling(true);
  caption->SetStdDrawSize({640, 480});
  caption->SetAlignment(5);
  std::string text;
  auto loaded = RoundTrip(caption, &text).DynamicCast<RTFTextView>();
  ASSERT_TRUE(loaded);
  ASSERT_TRUE(loaded->GetRTFData());
  ASSERT_EQ(rtf.size(), loaded->GetRTFData()->GetLength());
  EXPECT_EQ(rtf, std::string(static_cast<const char*>(loaded->GetRTFData()->GetMutableBytes()), rtf.size()));
  EXPECT_EQ(5u, loaded->GetAlignment());
  EXPECT_EQ((KsSizeF{640, 480}), loaded->GetStdDrawSize());
  EXPECT_TRUE(loaded->GetBitmapScaling());
  // Refused values keep the defaults.
  auto refused = KsMakeRef<TextDisplay>();
  KsRef<HcProperty> property;
  refused->GetClassObject()->GetPropertyForPropertyName(property, "FormatString");
  ASSERT_TRUE(property);
  EXPECT_EQ(-2, property->SetValue(refused.Get(), PWStringRef("%s%n")));
  EXPECT_EQ("%.2f", std::string(refused->GetFormatString().View()));
}

}  // namespace
