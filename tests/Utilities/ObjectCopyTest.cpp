#include <gtest/gtest.h>

#include "General/WeakRef.h"
#include "SerializationTestClasses.h"
#include "Utilities/KsObjectEmitter.h"
#include "Utilities/ObjectWriter.h"

namespace {

class ObjectCopy : public ::testing::Test {
 protected:
  void SetUp() override { RegisterSerializationTestClasses(); }
};

// Counts the notices it is told.
class NoticeCounter : public KsObject {
 public:
  void ObservePropertyChange(const KsRef<KsObject>&, const KsRef<HcProperty>& property,
                             const KsRef<KsObject>&) override {
    if (property && property->GetPropertyID() == KsObjectEmitter::kEmittedObjectId) ++notices;
  }
  int notices = 0;
};

}  // namespace

TEST_F(ObjectCopy, DeepCopyRebuildsEverythingAndKeepsSharingInside) {
  auto original = KsMakeRef<Sample>();
  auto shared = KsMakeRef<Sample>();
  shared->SetName("shared");
  original->SetFloat(0.3f);
  original->SetText("text");
  original->SetChild(shared);
  original->SetOther(shared);
  auto parts = KsMakeRef<SampleCollection>();
  parts->Add(shared);
  original->SetParts(parts);

  KsRef<KsObject> made;
  original->DeepCopy(made);
  KsRef<Sample> copy = made.DynamicCast<Sample>();
  ASSERT_TRUE(copy);
  EXPECT_NE(original.Get(), copy.Get());
  EXPECT_EQ(0.3f, copy->GetFloat());
  EXPECT_EQ("text", copy->GetText().Str());
  ASSERT_TRUE(copy->GetChild());
  EXPECT_NE(shared.Get(), copy->GetChild().Get());
  EXPECT_EQ("shared", copy->GetChild()->GetName().Str());
  EXPECT_EQ(copy->GetChild().Get(), copy->GetOther().Get());
  ASSERT_TRUE(copy->GetParts());
  EXPECT_NE(parts.Get(), copy->GetParts().Get());
  EXPECT_EQ(copy->GetChild().Get(), copy->GetParts()->GetByIndex(0).Get());
}

TEST_F(ObjectCopy, CopySharesTheObjectsTheOriginalHolds) {
  auto original = KsMakeRef<Sample>();
  auto child = KsMakeRef<Sample>();
  original->SetInt(-4);
  original->SetChild(child);
  original->SetOther(child);
  KsRef<KsObject> made;
  original->Copy(made);
  KsRef<Sample> copy = made.DynamicCast<Sample>();
  ASSERT_TRUE(copy);
  EXPECT_NE(original.Get(), copy.Get());
  EXPECT_EQ(-4, copy->GetInt());
  EXPECT_EQ(child.Get(), copy->GetChild().Get());
  EXPECT_EQ(child.Get(), copy->GetOther().Get());
}

TEST_F(ObjectCopy, CopyOfACollectionHoldsTheSameElementsInOrder) {
  auto original = KsMakeRef<SampleCollection>();
  auto first = KsMakeRef<Sample>();
  auto second = KsMakeRef<Sample>();
  original->Add(first);
  original->Add(second);
  original->Add(first);
  KsRef<KsObject> made;
  original->Copy(made);
  KsRef<SampleCollection> copy = made.DynamicCast<SampleCollection>();
  ASSERT_TRUE(copy);
  EXPECT_NE(original.Get(), copy.Get());
  ASSERT_EQ(3u, copy->GetCount());
  EXPECT_EQ(first.Get(), copy->GetByIndex(0).Get());
  EXPECT_EQ(second.Get(), copy->GetByIndex(1).Get());
  EXPECT_EQ(first.Get(), copy->GetByIndex(2).Get());
}

TEST_F(ObjectCopy, AnObjectWithoutPropertiesCopiesToANewObjectAndAnnouncesItOnce) {
  auto emitter = KsMakeRef<KsObjectEmitter>();
  auto counter = KsMakeRef<NoticeCounter>();
  emitter->AddObserverForId(counter, KsObjectEmitter::kEmittedObjectId, 0);
  auto writer = KsMakeRef<ObjectWriter>();
  writer->SetEmitter(emitter);
  auto plain = KsMakeRef<SampleCollection>();
  writer->SetContextObject(plain);
  ASSERT_EQ(0, writer->SetTargetPath("hc://"));
  ASSERT_EQ(0, writer->WriteObject());
  KsRef<KsObject> made = emitter->GetEmittedObject();
  ASSERT_TRUE(made.DynamicCast<SampleCollection>());
  EXPECT_NE(plain.Get(), made.Get());
  EXPECT_EQ(1, counter->notices);
  EXPECT_EQ(-903, emitter->SetOutputFile(nullptr));
}

TEST_F(ObjectCopy, CopiesOfACycleLetGoOfEverything) {
  WeakRef::Ref watch;
  {
    auto original = KsMakeRef<Sample>();
    auto child = KsMakeRef<Sample>();
    original->SetChild(child);
    child->SetOther(original);
    KsRef<KsObject> made;
    original->DeepCopy(made);
    KsRef<Sample> copy = made.DynamicCast<Sample>();
    ASSERT_TRUE(copy && copy->GetChild());
    EXPECT_EQ(copy.Get(), copy->GetChild()->GetOther().Get());
    watch = WeakRef::GetWeakRef(copy.Get());
    copy->GetChild()->SetOther(nullptr);
    child->SetOther(nullptr);
  }
  EXPECT_FALSE(WeakRef::GetTarget(watch.Get()));
}
