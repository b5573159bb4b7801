#include <gtest/gtest.h>

#include "General/HcClassMap.h"
#include "General/IntCollection.h"
#include "General/KsPropertyChangeDescription.h"
#include "ModelTestClasses.h"
#include "Utilities/HcProperty.h"

namespace {

TEST(KsPropertyChangeDescription, AFreshDescriptionIsASettingWithNoIndices) {
  KsRef<KsPropertyChangeDescription> description =
      MakeObject<KsPropertyChangeDescription>("KsPropertyChangeDescription");
  ASSERT_TRUE(description);
  EXPECT_EQ(KsPropertyChangeDescription::kSetting, description->GetChangeType());
  KsRef<IntCollection> indices = description->GetChangeIndices();
  ASSERT_TRUE(indices);
  EXPECT_EQ(0u, indices->GetCount());
  EXPECT_EQ(indices, description->GetChangeIndices());
  EXPECT_FALSE(description->GetReplacedObjectValue());
}

TEST(KsPropertyChangeDescription, ItsPropertiesAreReadableAndAnnouncedByName) {
  auto description = KsMakeRef<KsPropertyChangeDescription>();
  auto recorder = KsMakeRef<ChangeRecorder>();
  description->AddObserver(recorder, "ChangeType", 0);
  description->AddObserver(recorder, "ReplacedObjectValue", 0);
  KsRef<KsClassObject> classObject = description->GetClassObject();

  KsRef<HcProperty> changeType = classObject->FindProperty("ChangeType");
  ASSERT_EQ(AppErr::kNoErr, changeType->SetValue(description.Get(), int32_t{3}));
  // Announced even when the value stays the same.
  description->SetChangeType(3);
  EXPECT_EQ((std::vector<int32_t>{200, 200}), recorder->seenIds);
  int32_t type = 0;
  EXPECT_EQ(AppErr::kNoErr, changeType->GetValue(description.Get(), &type));
  EXPECT_EQ(3, type);

  KsRef<HcProperty> replaced = classObject->FindProperty("ReplacedObjectValue");
  auto gadget = KsMakeRef<Gadget>();
  ASSERT_EQ(AppErr::kNoErr, replaced->SetValue(description.Get(), KsRef<KsObject>(gadget)));
  EXPECT_EQ(gadget, description->GetReplacedObjectValue());
  EXPECT_EQ(202, recorder->seenIds.back());

  KsRef<HcProperty> indices = classObject->FindProperty("ChangeIndices");
  EXPECT_EQ(IntCollection::ClassGetClassObject(), indices->GetPropertyTypeClass());
  EXPECT_EQ(AppErr::kBadArgument, indices->SetValue(description.Get(), KsRef<KsObject>(gadget)));
  for (const char* name : {"ChangeType", "ChangeIndices", "ReplacedObjectValue"}) {
    EXPECT_FALSE(classObject->FindProperty(name)->GetShouldSerialize()) << name;
  }
}

TEST(KsPropertyChangeDescription, TraversalRefusesOtherClasses) {
  KsRef<KsClassObject> classObject = KsPropertyChangeDescription::ClassGetClassObject();
  EXPECT_FALSE(classObject->IsCollection());
  EXPECT_FALSE(classObject->IsAbstract());
  auto gadget = KsMakeRef<Gadget>();
  EXPECT_EQ(AppErr::kNotReady, classObject->TraverseProperties(gadget.Get(), nullptr, false));
}

}  // namespace
