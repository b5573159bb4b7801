#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "General/HcClassMap.h"
#include "General/ObjectCollection.h"
#include "ReflectTestClasses.h"
#include "Utilities/Chameleon.h"
#include "Utilities/HcPropertyDesc.h"
#include "Utilities/HcPropertyDescCollection.h"
#include "Utilities/HcPropertyPlaceholder.h"
#include "Utilities/ObjectPath.h"
#include "Utilities/ProxyDescWriter.h"
#include "Utilities/SchemaWriter.h"

namespace {

KsRef<HcPropertyDesc> Describe(const KsRef<HcProperty>& property) {
  auto description = KsMakeRef<HcPropertyDesc>();
  description->SetProperty(property);
  return description;
}

TEST(HcPropertyDesc, DescribesTypesFlagsAndClasses) {
  KsRef<KsClassObject> sprocketClass = Sprocket::ClassGetClassObject();
  struct Case {
    const char* property;
    const char* type;
  };
  const Case cases[] = {{"Speed", "float"},        {"Teeth", "int"},      {"Serial", "unsignedInt"},
                        {"Label", "string"},       {"Enabled", "boolean"}, {"Handle", "pointer"},
                        {"Origin", "pointF"},      {"Extent", "sizeF"},   {"Frame", "rectF"},
                        {"Tint", "colorF"},        {"Ratio", "double"},   {"Settings", "CFTypeRef"},
                        {"Ticks", "int64"},        {"Partner", "Sprocket"}, {"Parts", "SprocketCollection"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.property);
    KsRef<HcPropertyDesc> description = Describe(sprocketClass->FindProperty(c.property));
    EXPECT_EQ(PWStringRef(c.type), description->GetPropertyType());
    EXPECT_EQ(PWStringRef(c.property), description->GetPropertyName());
    EXPECT_EQ(PWStringRef("Sprocket"), description->GetExposingClass());
  }
  KsRef<HcPropertyDesc> partner = Describe(sprocketClass->FindProperty("Partner"));
  EXPECT_EQ(204u, partner->GetPropertyID());
  EXPECT_EQ(PWStringRef("Sprocket"), partner->GetPropertyTypeClassName());
  EXPECT_TRUE(partner->GetCanGet() && partner->GetCanSet() && partner->GetShouldSerialize());
  EXPECT_FALSE(partner->GetIsCollectionProperty());
  EXPECT_TRUE(Describe(sprocketClass->FindProperty("Speed"))->GetPropertyTypeClassName().IsNull());

  KsRef<HcPropertyDesc> model = Describe(sprocketClass->FindProperty("Model"));
  EXPECT_TRUE(model->GetCanGet());
  EXPECT_FALSE(model->GetCanSet());

  KsRef<HcPropertyDesc> placeholder =
      Describe(HcPropertyPlaceholder::Create(sprocketClass, 900, KsPropertyType::kFloat, "Announced"));
  EXPECT_FALSE(placeholder->GetCanGet());
  EXPECT_FALSE(placeholder->GetCanSet());
  EXPECT_FALSE(placeholder->GetShouldSerialize());

  KsRef<HcPropertyDesc> element = Describe(SprocketCollection::ClassGetClassObject()->FindProperty("Sprocket"));
  EXPECT_TRUE(element->GetIsCollectionProperty());
}

TEST(HcPropertyDesc, WithoutAPropertyAnswersNothing) {
  auto description = KsMakeRef<HcPropertyDesc>();
  EXPECT_TRUE(description->GetProperty().IsEmpty());
  EXPECT_TRUE(description->GetPropertyName().IsNull());
  EXPECT_TRUE(description->GetPropertyType().IsNull());
  EXPECT_TRUE(description->GetExposingClass().IsNull());
  EXPECT_TRUE(description->GetPropertyTypeClassName().IsNull());
  EXPECT_EQ(0u, description->GetPropertyID());
  EXPECT_FALSE(description->GetCanGet() || description->GetCanSet() || description->GetShouldSerialize() ||
               description->GetIsCollectionProperty());
}

TEST(HcPropertyDesc, ItsOwnPropertiesAreReadOnlyAndSerialised) {
  KsRef<KsClassObject> classObject = HcPropertyDesc::ClassGetClassObject();
  HcPropertyList own;
  classObject->GetPropertyList(own, false);
  ASSERT_EQ(9u, own.size());
  for (const KsRef<HcProperty>& property : own) {
    SCOPED_TRACE(property->GetName().Str());
    EXPECT_TRUE(property->GetCanGet());
    EXPECT_FALSE(property->GetCanSet());
    EXPECT_TRUE(property->GetShouldSerialize());
  }
  // Read by name like any model object.
  KsRef<HcPropertyDesc> description = Describe(Sprocket::ClassGetClassObject()->FindProperty("Ticks"));
  PWStringRef type;
  EXPECT_EQ(0, classObject->FindProperty("propertytype")->GetValue(description.Get(), &type));
  EXPECT_EQ(PWStringRef("int64"), type);
  uint32_t id = 0;
  EXPECT_EQ(0, classObject->FindProperty("PropertyID")->GetValue(description.Get(), &id));
  EXPECT_EQ(213u, id);
}

std::vector<std::string> DescribedNames(const KsRef<HcPropertyDescCollection>& descriptions) {
  std::vector<std::string> names;
  for (uint32_t i = 0; i < descriptions->GetCount(); ++i) {
    names.push_back(descriptions->GetByIndex(i)->GetPropertyName().Str());
  }
  return names;
}

TEST(KsObjectProperties, EveryObjectDescribesItsClassesProperties) {
  auto gear = KsMakeRef<GearSprocket>();
  KsRef<HcPropertyDescCollection> descriptions = gear->GetProperties();
  ASSERT_TRUE(descriptions);
  HcPropertyList list;
  gear->GetClassObject()->GetPropertyList(list, true);
  ASSERT_EQ(list.size(), descriptions->GetCount());
  const std::vector<std::string> names = DescribedNames(descriptions);
  EXPECT_EQ((std::vector<std::string>{"Name", "Properties", "PropertyNames", "UUIDString"}),
            std::vector<std::string>(names.begin(), names.begin() + 4));
  EXPECT_EQ("Ratchet", names.back());
  EXPECT_NE(descriptions, gear->GetProperties());  // a new list each time

  // The property itself: id 103, read-only, not serialised, typed.
  KsRef<HcProperty> property = gear->GetClassObject()->FindProperty("properties");
  ASSERT_TRUE(property);
  EXPECT_EQ(103, property->GetPropertyID());
  EXPECT_FALSE(property->GetShouldSerialize());
  EXPECT_FALSE(property->GetCanSet());
  EXPECT_EQ(HcPropertyDescCollection::ClassGetClassObject(), property->GetPropertyTypeClass());

  // Collection properties are listed too (unlike PropertyNames).
  auto collection = KsMakeRef<ObjectCollection>();
  KsRef<KsObject> value;
  ASSERT_EQ(0, property->GetValue(collection.Get(), &value));
  EXPECT_EQ((std::vector<std::string>{"Name", "Properties", "PropertyNames", "UUIDString", "Count", "entry"}),
            DescribedNames(value.DynamicCast<HcPropertyDescCollection>()));

  // Reached by path like any object property.
  KsRef<KsObject> described;
  EXPECT_EQ(0, ResolveObjectPath("hc://Properties[1]", gear, &described));
  EXPECT_EQ(PWStringRef("Properties"), described.DynamicCast<HcPropertyDesc>()->GetPropertyName());
}

TEST(HcPropertyDescCollection, TakesOnlyDescriptions) {
  auto descriptions = KsMakeRef<HcPropertyDescCollection>();
  EXPECT_EQ(-2, descriptions->AddObject(KsMakeRef<Sprocket>()));
  EXPECT_EQ(0, descriptions->AddObject(KsMakeRef<HcPropertyDesc>()));
  EXPECT_TRUE(MakeObject<HcPropertyDescCollection>("HcPropertyDescCollection"));
  EXPECT_TRUE(MakeObject<SchemaWriter>("SchemaWriter"));
  EXPECT_TRUE(MakeObject<ProxyDescWriter>("ProxyDescWriter"));
}

TEST(Chameleon, AnswersAnyNameWithItsOneValue) {
  KsRef<Chameleon> holder = MakeObject<Chameleon>("Chameleon");
  ASSERT_TRUE(holder);
  EXPECT_TRUE(holder->GetPropValue().IsEmpty());
  KsRef<KsClassObject> classObject = holder->GetClassObject();

  KsRef<HcProperty> some = classObject->FindProperty("SomeName");
  KsRef<HcProperty> again = classObject->FindProperty("SomeName");
  ASSERT_TRUE(some && again);
  EXPECT_NE(some, again);
  EXPECT_EQ(0, some->GetPropertyID());
  EXPECT_EQ(PWStringRef("SomeName"), some->GetName());
  EXPECT_EQ(KsPropertyType::kObject, some->GetPropertyType());
  EXPECT_FALSE(some->GetShouldSerialize());

  // KsObject's names keep their meaning.
  KsRef<HcProperty> name = classObject->FindProperty("name");
  ASSERT_TRUE(name);
  EXPECT_EQ(100, name->GetPropertyID());

  // Any dynamic descriptor writes PropValue, announced as change 200.
  auto recorder = KsMakeRef<NoticeRecorder>();
  holder->AddObserver(recorder, "PropValue", 0);
  auto sprocket = KsMakeRef<Sprocket>();
  EXPECT_EQ(0, some->SetValue(holder.Get(), KsRef<KsObject>(sprocket)));
  EXPECT_EQ(sprocket, holder->GetPropValue());
  EXPECT_EQ(1u, recorder->names.size());
  KsRef<KsObject> read;
  EXPECT_EQ(0, classObject->FindProperty("Viewset")->GetValue(holder.Get(), &read));
  EXPECT_EQ(sprocket, read);

  // Paths through the holder reach the held object.
  KsRef<KsObject> reached;
  EXPECT_EQ(0, ResolveObjectPath("hc://Anything", holder, &reached));
  EXPECT_EQ(sprocket, reached);
  EXPECT_EQ(0, ResolveObjectPath("hc://PropValue", holder, &reached));
  EXPECT_EQ(sprocket, reached);

  // PropValue is not serialised: a traversal for writing sees nothing.
  HcPropertyList list;
  classObject->GetPropertyList(list, false);
  ASSERT_EQ(1u, list.size());
  EXPECT_EQ(200, list[0]->GetPropertyID());
  EXPECT_FALSE(list[0]->GetShouldSerialize());
}

}  // namespace
