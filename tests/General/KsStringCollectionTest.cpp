#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CollectionObserver.h"
#include "General/HcClassMap.h"
#include "General/KsStringCollection.h"
#include "General/KsValueWrapper.h"
#include "General/ObjectCollection.h"
#include "ModelTestClasses.h"
#include "Utilities/HcProperty.h"

namespace {

std::string Joined(const KsStringCollection& strings) {
  std::string text;
  for (uint32_t index = 0; index < strings.GetCount(); ++index) {
    PWStringRef s = strings.GetByIndex(index);
    text += (index ? "," : "") + (s.IsNull() ? std::string("(null)") : s.Str());
  }
  return text;
}

class KsStringCollectionTest : public ::testing::Test {
 protected:
  KsStringCollectionTest() {
    for (const char* s : {"a", "b"}) strings->Add(s);
  }
  KsRef<HcProperty> Property(const char* name) { return strings->GetClassObject()->FindProperty(name); }

  KsRef<KsStringCollection> strings = KsMakeRef<KsStringCollection>();
};

TEST_F(KsStringCollectionTest, SetAtNeverAppendsButInsertAtDoes) {
  EXPECT_EQ(AppErr::kIndexOutOfRange, strings->SetAt(2, "c"));
  EXPECT_EQ(AppErr::kNoErr, strings->InsertAt(7, "c"));
  EXPECT_EQ(AppErr::kNoErr, strings->SetAt(0, PWStringRef()));
  EXPECT_EQ(AppErr::kNoErr, strings->RemoveNoSet(1, "ignored"));
  EXPECT_EQ("(null),c", Joined(*strings));
  PWStringRef out("untouched");
  EXPECT_EQ(AppErr::kIndexOutOfRange, strings->GetByIndex(2, &out));
  EXPECT_EQ(PWStringRef("untouched"), out);
  EXPECT_EQ(AppErr::kIndexOutOfRange, strings->RemoveAt(2));
  strings->Clear();
  EXPECT_EQ(0u, strings->GetCount());
}

TEST_F(KsStringCollectionTest, ContainsComparesIdentityNotText) {
  PWStringRef stored("same text");
  strings->Add(stored);
  EXPECT_TRUE(strings->Contains(stored));
  EXPECT_FALSE(strings->Contains(PWStringRef(std::string("same text"))));
}

TEST_F(KsStringCollectionTest, WrappedAccessTakesStringsOnly) {
  KsRef<KsValueWrapper> wrapper;
  ASSERT_EQ(AppErr::kNoErr, strings->GetWrappedValueByIndex(1, &wrapper));
  EXPECT_EQ(PWStringRef("b"), wrapper->CopyString());
  ASSERT_EQ(AppErr::kNoErr, strings->GetWrappedValueByIndex(9, &wrapper));
  EXPECT_EQ(KsPropertyType::kString, wrapper->GetValueType());
  EXPECT_TRUE(wrapper->CopyString().IsNull());

  wrapper->SetStringValue("z");
  EXPECT_EQ(AppErr::kNoErr, strings->SetWrappedValueAt(0, wrapper));
  EXPECT_EQ(AppErr::kNoErr, strings->InsertWrappedValueAt(0, wrapper));
  EXPECT_EQ(AppErr::kIndexOutOfRange, strings->SetWrappedValueAt(3, wrapper));
  EXPECT_EQ("z,z,b", Joined(*strings));

  // A wrapper of another kind would otherwise store a null string.
  wrapper->SetIntValue(4);
  EXPECT_EQ(AppErr::kUnsupportedType, strings->SetWrappedValueAt(0, wrapper));
  EXPECT_EQ(AppErr::kUnsupportedType, strings->InsertWrappedValueAt(0, wrapper));
  EXPECT_EQ(AppErr::kBadArgument, strings->SetWrappedValueAt(0, KsRef<KsValueWrapper>()));
  EXPECT_EQ(AppErr::kBadArgument, strings->GetWrappedValueByIndex(0, nullptr));
  EXPECT_EQ("z,z,b", Joined(*strings));
}

TEST_F(KsStringCollectionTest, ActionNamesAndTheElementProperty) {
  ASSERT_EQ(AppErr::kNoErr, Property("+0")->SetValue(strings.Get(), PWStringRef("x")));
  ASSERT_EQ(AppErr::kNoErr, Property("[2]")->SetValue(strings.Get(), PWStringRef("y")));
  ASSERT_EQ(AppErr::kNoErr, Property("String")->SetValue(strings.Get(), PWStringRef("w")));
  EXPECT_EQ("x,a,y,w", Joined(*strings));
  PWStringRef value;
  EXPECT_EQ(AppErr::kNoErr, Property("3")->GetValue(strings.Get(), &value));
  EXPECT_EQ(PWStringRef("w"), value);
  EXPECT_FALSE(Property("Strng"));

  auto traverser = KsMakeRef<VisitRecorder>();
  ASSERT_EQ(AppErr::kNoErr, strings->GetClassObject()->TraverseProperties(strings.Get(), traverser.Get(), false));
  ASSERT_EQ(4u, traverser->visits.size());
  EXPECT_EQ("String", traverser->visits[3].property);
  EXPECT_EQ("w", traverser->visits[3].value);
  EXPECT_EQ(PWStringRef("Strings"), strings->GetClassObject()->GetName());
  EXPECT_TRUE(MakeObject<KsStringCollection>("Strings"));
}

// Every model object lists its class's property names, collection
// properties left out.
TEST(KsObjectPropertyNames, ListInheritedNamesFirstWithoutCollectionProperties) {
  auto gadget = KsMakeRef<SuperGadget>();
  KsRef<KsStringCollection> names = gadget->GetPropertyNames();
  EXPECT_EQ("Name,Properties,PropertyNames,UUIDString,Count,Enabled,Frame,Partner,Ratio,Serial,Tint,Width,Label",
            Joined(*names));
  EXPECT_NE(names, gadget->GetPropertyNames());

  KsRef<HcProperty> property = gadget->GetClassObject()->FindProperty("PropertyNames");
  ASSERT_TRUE(property);
  EXPECT_EQ(102, property->GetPropertyID());
  EXPECT_FALSE(property->GetShouldSerialize());
  EXPECT_FALSE(property->GetCanSet());
  EXPECT_EQ(KsStringCollection::ClassGetClassObject(), property->GetPropertyTypeClass());

  auto collection = KsMakeRef<ObjectCollection>();
  KsRef<KsObject> value;
  ASSERT_EQ(AppErr::kNoErr, property->GetValue(collection.Get(), &value));
  ASSERT_TRUE(value.DynamicCast<KsStringCollection>());
  EXPECT_EQ("Name,Properties,PropertyNames,UUIDString,Count", Joined(*value.DynamicCast<KsStringCollection>()));
}

}  // namespace
