#include <gtest/gtest.h>

#include "General/HcClassMap.h"
#include "ReflectTestClasses.h"
#include "Utilities/HcPropertyBinding.h"
#include "Utilities/HcWeakPropertyBinding.h"
#include "Utilities/PropertyBindingCollection.h"

namespace {

// The same cases for both kinds of binding.
template <class Binding>
class BindingTest : public ::testing::Test {};
using BindingKinds = ::testing::Types<HcPropertyBinding, HcWeakPropertyBinding>;
TYPED_TEST_SUITE(BindingTest, BindingKinds);

TYPED_TEST(BindingTest, ResolvesWhicheverOfTargetAndNameComesSecond) {
  auto sprocket = KsMakeRef<Sprocket>();
  // Target, then name (in another letter case).
  auto binding = KsMakeRef<TypeParam>();
  EXPECT_EQ(-903, binding->SetValue(1.5f));
  EXPECT_EQ(0, binding->SetTargetObject(sprocket));
  EXPECT_FALSE(binding->IsResolved());
  EXPECT_EQ(0, binding->SetPropertyName("speed"));
  EXPECT_EQ(PWStringRef("Speed"), binding->GetPropertyName());
  EXPECT_EQ(KsPropertyType::kFloat, binding->GetPropertyType());
  EXPECT_EQ(0, binding->SetValue(2.5f));
  EXPECT_EQ(2.5f, sprocket->GetSpeed());
  float speed = 0;
  double asDouble = 0;
  EXPECT_EQ(0, binding->GetValue(&speed));
  EXPECT_EQ(2.5f, speed);
  EXPECT_EQ(-102, binding->GetValue(&asDouble));  // the property has no double form

  // Name, then target.
  auto byName = KsMakeRef<TypeParam>();
  EXPECT_EQ(0, byName->SetPropertyName("label"));
  EXPECT_EQ(PWStringRef("label"), byName->GetPropertyName());
  EXPECT_EQ(0, byName->SetTargetObject(sprocket));
  EXPECT_EQ(0, byName->SetValue(PWStringRef("gear")));
  PWStringRef label;
  EXPECT_EQ(0, byName->GetValue(&label));
  EXPECT_EQ(PWStringRef("gear"), label);

  // A name the class lacks: -607, and access answers -903 afterwards.
  EXPECT_EQ(-607, byName->SetPropertyName("NoSuchProperty"));
  EXPECT_FALSE(byName->IsResolved());
  EXPECT_EQ(-903, byName->GetValue(&label));
  EXPECT_EQ(-1, byName->GetPropertyType());

  // A null target leaves it unresolved.
  EXPECT_EQ(0, binding->SetTargetObject(KsRef<KsObject>()));
  EXPECT_EQ(-903, binding->GetValue(&speed));
}

TYPED_TEST(BindingTest, ReadsAndWritesObjectsAndConvertsText) {
  auto sprocket = KsMakeRef<Sprocket>();
  auto partner = KsMakeRef<Sprocket>();
  auto binding = KsMakeRef<TypeParam>();
  binding->SetTargetObject(sprocket);
  binding->SetPropertyName("Partner");
  EXPECT_EQ(0, binding->SetValue(KsRef<KsObject>(partner)));
  KsRef<KsObject> read;
  EXPECT_EQ(0, binding->GetValue(&read));
  EXPECT_EQ(partner, read);
  // A float through a binding to an int property is refused; text converts.
  binding->SetPropertyName("Teeth");
  EXPECT_EQ(-102, binding->SetValue(3.0f));
  EXPECT_EQ(0, binding->SetValue(PWStringRef("12")));
  EXPECT_EQ(12, sprocket->GetTeeth());
  // A read-only property.
  binding->SetPropertyName("Model");
  EXPECT_EQ(-102, binding->SetValue(PWStringRef("X")));
}

TYPED_TEST(BindingTest, BindsCollectionElementsByIndexName) {
  KsRef<Sprocket> sprocket = MakeSprocketWithParts(3);
  auto binding = KsMakeRef<TypeParam>();
  binding->SetTargetObject(sprocket->GetParts());
  EXPECT_EQ(0, binding->SetPropertyName("2"));
  KsRef<KsObject> element;
  EXPECT_EQ(0, binding->GetValue(&element));
  EXPECT_EQ(sprocket->GetParts()->GetByIndex(2), element);
}

TYPED_TEST(BindingTest, TargetPathResolvesBelowTheRootBeforeTheName) {
  KsRef<Sprocket> root = MakeSprocketWithParts(3);
  auto binding = KsMakeRef<TypeParam>();
  EXPECT_EQ(0, binding->SetRootObject(root));
  EXPECT_EQ(0, binding->SetTargetPath("hc://Parts{P1}"));
  EXPECT_EQ(root->GetParts()->GetByIndex(1), binding->GetTargetObject());
  EXPECT_FALSE(binding->IsResolved());
  EXPECT_EQ(0, binding->SetPropertyName("Teeth"));
  EXPECT_EQ(0, binding->SetValue(PWStringRef("7")));
  EXPECT_EQ(7, root->GetParts()->GetByIndex(1)->GetTeeth());

  // The name set before the path stays unresolved; a path naming nothing.
  EXPECT_EQ(0, binding->SetTargetPath("hc://Parts[0]"));
  EXPECT_EQ(-903, binding->SetValue(PWStringRef("8")));
  EXPECT_EQ(-607, binding->SetTargetPath("hc://Partner"));
  EXPECT_TRUE(binding->GetTargetObject().IsEmpty());
  EXPECT_EQ(-609, binding->SetTargetPath("hc://Parts[3]"));

  // Without a root a path finds no target.
  auto unrooted = KsMakeRef<TypeParam>();
  EXPECT_EQ(-903, unrooted->SetTargetPath("hc://Parts[0]"));
  EXPECT_TRUE(unrooted->GetTargetObject().IsEmpty());
}

TEST(HcPropertyBinding, KeepsItsTargetAliveWhileTheWeakOneLetsItGo) {
  auto strong = KsMakeRef<HcPropertyBinding>();
  auto weak = KsMakeRef<HcWeakPropertyBinding>();
  {
    auto kept = KsMakeRef<Sprocket>();
    auto dropped = KsMakeRef<Sprocket>();
    strong->SetTargetObject(kept);
    strong->SetPropertyName("Speed");
    weak->SetTargetObject(dropped);
    weak->SetPropertyName("Speed");
    EXPECT_EQ(0, weak->SetValue(1.0f));
  }
  EXPECT_EQ(0, strong->SetValue(4.0f));
  EXPECT_TRUE(weak->GetTargetObject().IsEmpty());
  EXPECT_TRUE(weak->IsResolved());  // keeps its descriptor, but has no target
  EXPECT_EQ(-903, weak->SetValue(4.0f));
}

TEST(HcPropertyBinding, OneShotAccessAtAPath) {
  KsRef<Sprocket> root = MakeSprocketWithParts(2);
  EXPECT_EQ(0, HcPropertyBinding::SetPropertyValue(PWStringRef("left"), "hc://Parts[1]", "Label", root));
  EXPECT_EQ(0, HcPropertyBinding::SetPropertyValue(0.5f, "hc://Parts[1]", "Speed", root));
  PWStringRef label;
  float speed = 0;
  EXPECT_EQ(0, HcPropertyBinding::GetPropertyValue(&label, "hc://Parts{P1}", "label", root));
  EXPECT_EQ(0, HcPropertyBinding::GetPropertyValue(&speed, "hc://Parts{P1}", "speed", root));
  EXPECT_EQ(PWStringRef("left"), label);
  EXPECT_EQ(0.5f, speed);
  KsRef<KsObject> parts;
  EXPECT_EQ(0, HcPropertyBinding::GetPropertyValue(&parts, "hc://", "Parts", root));
  EXPECT_EQ(root->GetParts(), parts);
  EXPECT_EQ(-607, HcPropertyBinding::GetPropertyValue(&label, "hc://Parts[1]", "Nothing", root));
  EXPECT_EQ(-609, HcPropertyBinding::SetPropertyValue(1.0f, "hc://Parts[4]", "Speed", root));
}

TEST(HcPropertyBinding, IsAModelObjectWithSerialisedTargetAndName) {
  auto sprocket = KsMakeRef<Sprocket>();
  KsRef<HcPropertyBinding> binding = MakeObject<HcPropertyBinding>("HcPropertyBinding");
  ASSERT_TRUE(binding);
  KsRef<KsClassObject> classObject = binding->GetClassObject();
  KsRef<HcProperty> target = classObject->FindProperty("TargetObject");
  KsRef<HcProperty> name = classObject->FindProperty("PropertyName");
  ASSERT_TRUE(target && name);
  EXPECT_TRUE(target->GetShouldSerialize());
  EXPECT_TRUE(name->GetShouldSerialize());
  EXPECT_FALSE(classObject->FindProperty("BindingObject")->GetShouldSerialize());
  EXPECT_FALSE(classObject->FindProperty("RootObject")->GetShouldSerialize());
  // Set by name as a reader would: name first, then the target.
  EXPECT_EQ(0, name->SetValue(binding.Get(), PWStringRef("Ratio")));
  EXPECT_EQ(0, target->SetValue(binding.Get(), KsRef<KsObject>(sprocket)));
  EXPECT_TRUE(binding->IsResolved());
  KsRef<KsObject> bound;
  EXPECT_EQ(0, classObject->FindProperty("BindingObject")->GetValue(binding.Get(), &bound));
  EXPECT_EQ(sprocket, bound);
  EXPECT_TRUE(MakeObject<HcPropertyBindingBase>("HcPropertyBindingBase").IsEmpty());
}

TEST(PropertyBindingCollection, HoldsBindingsOfBothKinds) {
  auto bindings = KsMakeRef<PropertyBindingCollection>();
  EXPECT_EQ(0, bindings->Add(KsMakeRef<HcPropertyBinding>()));
  EXPECT_EQ(0, bindings->Add(KsMakeRef<HcWeakPropertyBinding>()));
  EXPECT_EQ(-2, bindings->AddObject(KsMakeRef<Sprocket>()));
  EXPECT_EQ(2u, bindings->GetCount());
  KsRef<KsClassObject> classObject = bindings->GetClassObject();
  KsRef<HcProperty> element = classObject->FindProperty("HcPropertyBinding");
  ASSERT_TRUE(element);
  EXPECT_TRUE(element->GetIsCollectionProperty());
  EXPECT_EQ(HcPropertyBindingBase::ClassGetClassObject(), element->GetPropertyTypeClass());
  KsRef<KsObject> second;
  ASSERT_TRUE(classObject->FindProperty("1"));
  EXPECT_EQ(0, classObject->FindProperty("1")->GetValue(bindings.Get(), &second));
  EXPECT_TRUE(second.DynamicCast<HcWeakPropertyBinding>());
}

}  // namespace
