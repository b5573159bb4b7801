#include <gtest/gtest.h>

#include "General/KsObject.h"
#include "ModelTestClasses.h"
#include "Utilities/HcProperty.h"

namespace {

class KsObjectTest : public ::testing::Test {
 protected:
  KsRef<Gadget> gadget = KsMakeRef<Gadget>();
  KsRef<ChangeRecorder> first = KsMakeRef<ChangeRecorder>();
  KsRef<ChangeRecorder> second = KsMakeRef<ChangeRecorder>();
};

TEST_F(KsObjectTest, NestedScopesOfOnePropertyNotifyOnceWhenTheOuterCloses) {
  gadget->AddObserver(first, "Width", 0);
  {
    DidChangeCaller outer(gadget.Get(), 200);
    {
      DidChangeCaller inner(gadget.Get(), 200);
    }
    EXPECT_EQ(0, first->notices);
  }
  EXPECT_EQ(1, first->notices);
  // A descriptor set announces once even though the setter announces too.
  gadget->GetClassObject()->FindProperty("width")->SetValue(gadget.Get(), 2.5f);
  EXPECT_EQ(2, first->notices);
  EXPECT_FLOAT_EQ(2.5f, gadget->GetWidth());
}

TEST_F(KsObjectTest, ScopesOfDifferentPropertiesNotifyIndependently) {
  gadget->AddObserver(first, "Width", 0);
  gadget->AddObserver(first, "Count", 0);
  {
    DidChangeCaller width(gadget.Get(), 200);
    {
      DidChangeCaller count(gadget.Get(), 201);
    }
    EXPECT_EQ(std::vector<int32_t>{201}, first->seenIds);
  }
  EXPECT_EQ((std::vector<int32_t>{201, 200}), first->seenIds);
}

TEST_F(KsObjectTest, AnObserverAddedInsideAnOpenScopeOfAFreshObjectIsToldOnce) {
  EXPECT_FALSE(gadget->HasObservers());
  {
    DidChangeCaller outer(gadget.Get(), 200);
    {
      DidChangeCaller inner(gadget.Get(), 200);
      DidChangeCaller other(gadget.Get(), 201);
      gadget->AddObserver(first, "Width", 0);
    }
    EXPECT_EQ(0, first->notices);
  }
  EXPECT_EQ(std::vector<int32_t>{200}, first->seenIds);
  // Open scopes of other objects, and of other properties, tell nobody.
  auto fresh = KsMakeRef<Gadget>();
  {
    DidChangeCaller scope(fresh.Get(), 200);
    gadget->SetWidth(2);
  }
  EXPECT_EQ(2, first->notices);
  {
    DidChangeCaller scope(fresh.Get(), 201);
    fresh->AddObserver(second, "Width", 0);
  }
  EXPECT_EQ(0, second->notices);
  fresh->SetWidth(1);
  EXPECT_EQ(1, second->notices);
}

TEST_F(KsObjectTest, AnObjectWithoutObserversMakesNoStorage) {
  EXPECT_FALSE(gadget->HasObservers());
  gadget->SetWidth(3);
  EXPECT_FALSE(gadget->HasObservers());
  gadget->AddObserver(first, "NoSuchProperty", 0);
  EXPECT_FALSE(gadget->HasObservers());
}

TEST_F(KsObjectTest, RegisteringTwiceLeavesOneRegistration) {
  gadget->AddObserver(first, "Width", 0);
  gadget->AddObserver(first, "WIDTH", 0);
  gadget->SetWidth(1);
  EXPECT_EQ(1, first->notices);
}

TEST_F(KsObjectTest, DeadObserversAreSkippedAndPrunedOthersToldInOrder) {
  auto doomed = KsMakeRef<ChangeRecorder>();
  gadget->AddObserver(first, "Width", 0);
  gadget->AddObserver(doomed, "Width", 0);
  gadget->AddObserver(second, "Width", 0);
  doomed = nullptr;
  gadget->SetWidth(1);
  gadget->SetWidth(2);
  EXPECT_EQ(2, first->notices);
  EXPECT_EQ(2, second->notices);
}

TEST_F(KsObjectTest, RemoveObserverWithoutANameRemovesItEverywhere) {
  gadget->AddObserver(first, "Width", 0);
  gadget->AddObserver(first, "Count", 0);
  gadget->AddObserver(second, "Width", 0);
  gadget->RemoveObserver(first, PWStringRef());
  gadget->SetWidth(1);
  DidChangeCaller(gadget.Get(), 201);
  EXPECT_EQ(0, first->notices);
  EXPECT_EQ(1, second->notices);
}

// An observer that unregisters itself and registers another while being told.
class SelfRemover : public ChangeRecorder {
 public:
  void ObservePropertyChange(const KsRef<KsObject>& object, const KsRef<HcProperty>& property,
                             const KsRef<KsObject>& description) override {
    ChangeRecorder::ObservePropertyChange(object, property, description);
    object->RemoveObserver(ThisRef(), "Width");
    object->AddObserver(other, "Width", 0);
  }
  KsRef<ChangeRecorder> other;
};

TEST_F(KsObjectTest, ObserversMayChangeRegistrationsWhileBeingTold) {
  auto remover = KsMakeRef<SelfRemover>();
  remover->other = second;
  gadget->AddObserver(remover, "Width", 0);
  gadget->AddObserver(first, "Width", 0);
  gadget->SetWidth(1);
  gadget->SetWidth(2);
  EXPECT_EQ(1, remover->notices);
  EXPECT_EQ(2, first->notices);
  EXPECT_EQ(1, second->notices);
}

TEST_F(KsObjectTest, SetNameSendsNoNoticeButTheNamePropertyDoes) {
  gadget->AddObserver(first, "Name", 0);
  gadget->SetName("plain");
  EXPECT_EQ(0, first->notices);
  EXPECT_EQ(AppErr::kNoErr, gadget->GetClassObject()->FindProperty("name")->SetValue(gadget.Get(), "through"));
  EXPECT_EQ(std::vector<int32_t>{100}, first->seenIds);
  EXPECT_EQ(PWStringRef("through"), gadget->GetName());
}

TEST_F(KsObjectTest, UUIDStringsAssignmentAndParsing) {
  PWStringRef text("unchanged");
  EXPECT_EQ(AppErr::kNoValue, gadget->GetUUIDString(&text));
  EXPECT_TRUE(text.IsNull());
  EXPECT_EQ(AppErr::kBadArgument, gadget->GetUUIDString(nullptr));

  EXPECT_EQ(AppErr::kNoErr, gadget->AssignUUID());
  EXPECT_EQ(AppErr::kNoErr, gadget->GetUUIDString(&text));
  EXPECT_EQ(36u, text.ByteLength());
  EXPECT_EQ(AppErr::kAlreadyAssigned, gadget->AssignUUID());

  EXPECT_EQ(AppErr::kNoErr, gadget->SetUUIDString("0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9"));
  EXPECT_EQ(AppErr::kNoErr, gadget->GetUUIDString(&text));
  EXPECT_EQ(PWStringRef("0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9"), text);
  EXPECT_EQ(AppErr::kBadArgument, gadget->SetUUIDString("not a uuid"));
  EXPECT_EQ(AppErr::kBadArgument, gadget->SetUUIDString(PWStringRef()));
  EXPECT_EQ(AppErr::kNoErr, gadget->GetUUIDString(&text));
  EXPECT_EQ(PWStringRef("0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9"), text);
}

}  // namespace
