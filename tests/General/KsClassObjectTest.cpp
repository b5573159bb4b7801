#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "General/HcClassMap.h"
#include "General/KsClassObject.h"
#include "ModelTestClasses.h"
#include "Utilities/HcProperty.h"
#include "Utilities/PropertyTraverser.h"

namespace {

std::vector<std::string> NamesOf(const HcPropertyList& list) {
  std::vector<std::string> names;
  for (const auto& property : list) names.push_back(property->GetName().Str());
  return names;
}

TEST(KsClassObject, ListsInheritedPropertiesFirstEachClassInNameOrder) {
  HcPropertyList list;
  SuperGadget::ClassGetClassObject()->GetPropertyList(list, true);
  const std::vector<std::string> expected = {"Name",  "Properties", "PropertyNames", "UUIDString",
                                             "Count", "Enabled",    "Frame",         "Partner",
                                             "Ratio", "Serial",     "Tint",          "Width",
                                             "Label"};
  EXPECT_EQ(expected, NamesOf(list));
  SuperGadget::ClassGetClassObject()->GetPropertyList(list, false);
  EXPECT_EQ(std::vector<std::string>{"Label"}, NamesOf(list));
}

TEST(KsClassObject, FindsPropertiesByNameInAnyCaseAndByIdThroughParents) {
  auto classObject = SuperGadget::ClassGetClassObject();
  EXPECT_EQ(100, classObject->FindProperty("name")->GetPropertyID());
  EXPECT_EQ(PWStringRef("UUIDString"), classObject->FindPropertyById(101)->GetName());
  EXPECT_EQ(200, classObject->GetPropertyIdForName("WIDTH"));
  EXPECT_EQ(0, classObject->GetPropertyIdForName("NoSuchProperty"));
  EXPECT_TRUE(classObject->FindProperty(PWStringRef()).IsEmpty());
  // The duplicate "WIDTH" of id 208 was not entered.
  EXPECT_TRUE(classObject->FindPropertyById(208).IsEmpty());
}

TEST(KsClassObject, AnswersItsRowAndInheritance) {
  auto gadgetClass = Gadget::ClassGetClassObject();
  auto superClass = SuperGadget::ClassGetClassObject();
  EXPECT_EQ(PWStringRef("gadget"), gadgetClass->GetName());
  EXPECT_STREQ("Gadget", gadgetClass->GetImplName());
  EXPECT_EQ(gadgetClass, superClass->GetParentClass());
  EXPECT_EQ(KsObject::ClassGetClassObject(), gadgetClass->GetParentClass());
  EXPECT_TRUE(KsObject::ClassGetClassObject()->GetParentClass().IsEmpty());
  EXPECT_TRUE(superClass->InheritsFrom(superClass));
  EXPECT_TRUE(superClass->InheritsFrom(KsObject::ClassGetClassObject()));
  EXPECT_FALSE(gadgetClass->InheritsFrom(superClass));
  EXPECT_FALSE(gadgetClass->InheritsFrom(KsRef<KsClassObject>()));
  EXPECT_EQ(gadgetClass, Gadget::ClassGetClassObject());
}

// Records what a traversal visits.
class RecordingTraverser : public PropertyTraverser {
 public:
  std::vector<std::string> visited;

  eAppErr Visit(HcProperty* property) {
    visited.push_back(property->GetName().Str());
    return AppErr::kNoErr;
  }
  eAppErr OnPropertyValue(KsObject*, HcProperty* p, int32_t, float) override { return Visit(p); }
  eAppErr OnPropertyValue(KsObject*, HcProperty* p, int32_t, uint32_t) override { return Visit(p); }
  eAppErr OnPropertyValue(KsObject*, HcProperty* p, int32_t, int32_t) override { return Visit(p); }
  eAppErr OnPropertyValue(KsObject*, HcProperty* p, int32_t, bool) override { return Visit(p); }
  eAppErr OnPropertyValue(KsObject*, HcProperty* p, int32_t, const PWStringRef&) override { return Visit(p); }
  eAppErr OnPropertyValue(KsObject*, HcProperty* p, int32_t, const KsRef<KsObject>&) override { return Visit(p); }
  eAppErr OnPropertyValue(KsObject*, HcProperty* p, int32_t, const KsRectF&) override { return Visit(p); }
  eAppErr OnPropertyValue(KsObject*, HcProperty* p, int32_t, const KsPointF&) override { return Visit(p); }
  eAppErr OnPropertyValue(KsObject*, HcProperty* p, int32_t, const KsSizeF&) override { return Visit(p); }
  eAppErr OnPropertyValue(KsObject*, HcProperty* p, int32_t, const KsColorF&) override { return Visit(p); }
  eAppErr OnPropertyValue(KsObject*, HcProperty* p, int32_t, double) override { return Visit(p); }
  eAppErr OnPropertyValue(KsObject*, HcProperty* p, int32_t, const KsPropertyList&) override { return Visit(p); }
  eAppErr OnPropertyValue(KsObject*, HcProperty* p, int32_t, void*) override { return Visit(p); }
  eAppErr OnPropertyValue(KsObject*, HcProperty* p, int32_t, int64_t) override { return Visit(p); }
};

TEST(KsClassObject, TraversalSkipsUnsetValuesAndUnserialisedProperties) {
  auto gadget = KsMakeRef<Gadget>();
  auto traverser = KsMakeRef<RecordingTraverser>();
  auto classObject = gadget->GetClassObject();
  ASSERT_EQ(AppErr::kNoErr, classObject->TraverseProperties(gadget.Get(), traverser.Get(), false));
  // No name, no UUID and no partner yet: nothing to visit for them.
  EXPECT_EQ((std::vector<std::string>{"Count", "Enabled", "Frame", "Ratio", "Tint", "Width"}), traverser->visited);

  gadget->SetName("g");
  gadget->SetPartner(KsMakeRef<Gadget>());
  traverser->visited.clear();
  classObject->TraverseProperties(gadget.Get(), traverser.Get(), true);
  EXPECT_EQ((std::vector<std::string>{"Name", "Properties", "PropertyNames", "Count", "Enabled", "Frame", "Partner",
                                      "Ratio", "Serial", "Tint", "Width"}),
            traverser->visited);

  auto recorder = KsMakeRef<ChangeRecorder>();
  EXPECT_EQ(AppErr::kNotReady, classObject->TraverseProperties(recorder.Get(), traverser.Get(), false));
  EXPECT_EQ(AppErr::kNotReady, classObject->TraverseProperties(nullptr, traverser.Get(), false));
}

}  // namespace
