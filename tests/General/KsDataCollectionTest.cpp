#include <gtest/gtest.h>

#include "CollectionObserver.h"
#include "General/HcClassMap.h"
#include "General/KsDataCollection.h"
#include "ModelTestClasses.h"
#include "Utilities/HcProperty.h"

namespace {

TEST(KsDataCollectionTest, HoldsOnlyByteBuffersAndAnnouncesAppends) {
  KsRef<KsClassObject> classObject = HcClassMap::FindClassObject("KsDataCollection");
  ASSERT_TRUE(classObject);
  EXPECT_TRUE(classObject->IsCollection());
  EXPECT_STREQ("KsObjectCollectionBase", classObject->GetParentClass()->GetImplName());
  KsRef<KsObject> made;
  classObject->CreateObject(made);
  auto collection = made.DynamicCast<KsDataCollection>();
  ASSERT_TRUE(collection);

  auto observer = KsMakeRef<CollectionObserver>();
  collection->AddObserver(observer, "KsData", 0);
  KsRef<HcProperty> element = classObject->FindProperty("KsData");
  ASSERT_TRUE(element);
  EXPECT_EQ(1, element->GetPropertyID());
  EXPECT_EQ(KsData::ClassGetClassObject(), element->GetPropertyTypeClass());

  EXPECT_EQ(0, collection->Add(KsMakeRef<KsData>()));
  ASSERT_EQ(1u, observer->changes.size());
  EXPECT_EQ(1, observer->changes[0].propertyId);
  EXPECT_EQ(2, observer->changes[0].changeType);
  EXPECT_EQ(0, element->SetValue(collection.Get(), KsRef<KsObject>(KsMakeRef<KsData>())));
  EXPECT_EQ(-2, element->SetValue(collection.Get(), KsRef<KsObject>(KsMakeRef<Gadget>())));
  EXPECT_EQ(2u, collection->GetCount());

  KsRef<HcProperty> count = classObject->FindProperty("Count");
  EXPECT_TRUE(count->GetCanGet());
  EXPECT_FALSE(count->GetCanSet());
  EXPECT_EQ(-102, count->SetValue(collection.Get(), 5u));
  // Action names reach the elements by index.
  KsRef<HcProperty> action;
  classObject->GetPropertyForPropertyName(action, "1");
  ASSERT_TRUE(action);
  KsRef<KsObject> second;
  EXPECT_EQ(0, action->GetValue(collection.Get(), &second));
  EXPECT_TRUE(second.DynamicCast<KsData>());
}

}  // namespace

namespace {

// Object data keeps a byte buffer as its Base64 text alone.
TEST(KsDataCollectionTest, TraversalOfAByteBufferVisitsOnlyItsBase64) {
  auto data = KsMakeRef<KsData>();
  data->SetHex("00ab10");
  auto visits = KsMakeRef<VisitRecorder>();
  KsRef<KsClassObject> classObject = KsData::ClassGetClassObject();
  EXPECT_EQ(0, classObject->TraverseProperties(data.Get(), visits.Get(), false));
  ASSERT_EQ(1u, visits->visits.size());
  EXPECT_EQ("Base64", visits->visits[0].property);
  EXPECT_EQ("AKsQ", visits->visits[0].value);

  auto gadget = KsMakeRef<Gadget>();
  EXPECT_EQ(-903, classObject->TraverseProperties(gadget.Get(), visits.Get(), false));
  EXPECT_EQ(-903, KsDataCollection::ClassGetClassObject()->TraverseProperties(data.Get(), visits.Get(), false));
}

}  // namespace
