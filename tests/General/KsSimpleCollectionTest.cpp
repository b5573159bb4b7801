#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "CollectionObserver.h"
#include "General/DoubleCollection.h"
#include "General/FloatCollection.h"
#include "General/HcClassMap.h"
#include "General/Int64Collection.h"
#include "General/IntCollection.h"
#include "General/KsValueWrapper.h"
#include "General/PointFCollection.h"
#include "Utilities/HcProperty.h"

namespace {

KsRef<IntCollection> Ints(std::initializer_list<int32_t> values) {
  auto collection = KsMakeRef<IntCollection>();
  for (int32_t value : values) collection->Add(value);
  return collection;
}

KsRef<HcProperty> Property(const KsRef<IntCollection>& collection, const char* name) {
  return collection->GetClassObject()->FindProperty(name);
}

TEST(KsSimpleCollection, IndexedOperationsAtAndPastTheEnd) {
  auto ints = Ints({});
  int32_t value = 0;
  EXPECT_EQ(AppErr::kIndexOutOfRange, ints->GetByIndex(0, &value));
  EXPECT_EQ(AppErr::kNoErr, ints->SetAt(0, 7));  // the index just past the end appends
  EXPECT_EQ(AppErr::kIndexOutOfRange, ints->SetAt(2, 7));
  EXPECT_EQ(std::vector<int32_t>{7}, ints->Values());
  EXPECT_EQ(0, ints->GetByIndex(5));

  ints = Ints({4, 5, 6});
  EXPECT_EQ(AppErr::kNoErr, ints->InsertAt(10, 5));
  EXPECT_EQ(AppErr::kNoErr, ints->InsertAt(0, 3));
  EXPECT_EQ((std::vector<int32_t>{3, 4, 5, 6, 5}), ints->Values());
  EXPECT_EQ(AppErr::kNoErr, ints->RemoveNoSet(1, 99));
  EXPECT_EQ(AppErr::kIndexOutOfRange, ints->RemoveAt(4));
  EXPECT_EQ((std::vector<int32_t>{3, 5, 6, 5}), ints->Values());
}

TEST(KsSimpleCollection, ActionNamesReadInsertRemoveAndReplace) {
  auto ints = Ints({1, 2});
  ASSERT_EQ(AppErr::kNoErr, Property(ints, "+0")->SetValue(ints.Get(), int32_t{9}));
  EXPECT_EQ((std::vector<int32_t>{9, 1, 2}), ints->Values());
  ASSERT_EQ(AppErr::kNoErr, Property(ints, "-0")->SetValue(ints.Get(), int32_t{0}));
  EXPECT_EQ((std::vector<int32_t>{1, 2}), ints->Values());
  ASSERT_EQ(AppErr::kNoErr, Property(ints, "2")->SetValue(ints.Get(), int32_t{3}));
  EXPECT_EQ((std::vector<int32_t>{1, 2, 3}), ints->Values());

  int32_t value = 0;
  EXPECT_EQ(AppErr::kNoErr, Property(ints, "[1]")->GetValue(ints.Get(), &value));
  EXPECT_EQ(2, value);
  EXPECT_EQ(AppErr::kNoErr, Property(ints, "Ints[+0]")->SetValue(ints.Get(), int32_t{8}));
  EXPECT_EQ(8, ints->GetByIndex(0));
  EXPECT_EQ(AppErr::kUnsupportedType, Property(ints, "+1")->GetValue(ints.Get(), &value));
  // Another value type is not converted by the descriptor.
  float asFloat = 0;
  EXPECT_EQ(AppErr::kUnsupportedType, Property(ints, "0")->GetValue(ints.Get(), &asFloat));
  EXPECT_EQ(AppErr::kUnsupportedType, Property(ints, "0")->SetValue(ints.Get(), 2.5f));
  EXPECT_EQ(8, ints->GetByIndex(0));
  EXPECT_EQ(AppErr::kBadArgument, Property(ints, "0")->GetValue(KsMakeRef<FloatCollection>().Get(), &value));
}

TEST(KsSimpleCollection, NamesThatAreNotActionNamesAreNotFound) {
  auto ints = Ints({1, 2});
  for (const char* name : {"x", "Int64", "[1", "[x]", "[]", "1]", "+", "-x", "2b"}) {
    EXPECT_FALSE(Property(ints, name)) << name;
  }
  EXPECT_EQ(std::vector<int32_t>({1, 2}), ints->Values());
}

TEST(KsSimpleCollection, WrappedAccessMovesValuesWithoutKnowingTheirType) {
  auto floats = KsMakeRef<FloatCollection>();
  KsRef<KsValueWrapper> wrapper;
  ASSERT_EQ(AppErr::kNoErr, floats->GetWrappedValueByIndex(5, &wrapper));
  ASSERT_TRUE(wrapper);
  EXPECT_EQ(KsPropertyType::kFloat, wrapper->GetValueType());
  EXPECT_EQ(0.0f, wrapper->GetFloatValue());
  EXPECT_EQ(AppErr::kBadArgument, floats->GetWrappedValueByIndex(0, nullptr));

  auto int64s = KsMakeRef<Int64Collection>();
  int64s->Add(int64_t{1} << 40);
  ASSERT_EQ(AppErr::kNoErr, int64s->GetWrappedValueByIndex(0, &wrapper));
  EXPECT_EQ(int64_t{1} << 40, wrapper->GetInt64Value());
  ASSERT_EQ(AppErr::kNoErr, int64s->InsertWrappedValueAt(0, wrapper));
  EXPECT_EQ(2u, int64s->GetCount());

  auto doubles = KsMakeRef<DoubleCollection>();
  auto value = KsMakeRef<KsValueWrapper>();
  value->SetDoubleValue(0.25);
  ASSERT_EQ(AppErr::kNoErr, doubles->SetWrappedValueAt(0, value));
  EXPECT_EQ(std::vector<double>{0.25}, doubles->Values());
  EXPECT_EQ(AppErr::kBadArgument, doubles->SetWrappedValueAt(0, KsRef<KsValueWrapper>()));
  EXPECT_EQ(AppErr::kBadArgument, doubles->InsertWrappedValueAt(0, KsRef<KsValueWrapper>()));
}

TEST(KsSimpleCollection, AWrappedValueOfAnotherKindConvertsOrIsRefused) {
  auto ints = Ints({5});
  auto value = KsMakeRef<KsValueWrapper>();
  value->SetFloatValue(7.75f);
  // Converted, never silently stored as 0.
  ASSERT_EQ(AppErr::kNoErr, ints->SetWrappedValueAt(0, value));
  EXPECT_EQ(8, ints->GetByIndex(0));

  value->SetStringValue("7");
  EXPECT_EQ(AppErr::kUnsupportedType, ints->SetWrappedValueAt(0, value));
  EXPECT_EQ(AppErr::kUnsupportedType, ints->InsertWrappedValueAt(0, value));
  EXPECT_EQ(std::vector<int32_t>{8}, ints->Values());

  auto points = KsMakeRef<PointFCollection>();
  value->SetIntValue(3);
  EXPECT_EQ(AppErr::kUnsupportedType, points->InsertWrappedValueAt(0, value));
  EXPECT_EQ(0u, points->GetCount());
}

TEST(KsSimpleCollection, TraversalWritesTheElementsUnderTheElementProperty) {
  auto points = KsMakeRef<PointFCollection>();
  points->SetName("not visited");
  for (float x : {1.0f, 2.0f, 3.0f}) points->Add(KsPointF{x, -x});
  auto traverser = KsMakeRef<VisitRecorder>();
  KsRef<KsClassObject> classObject = points->GetClassObject();
  ASSERT_EQ(AppErr::kNoErr, classObject->TraverseProperties(points.Get(), traverser.Get(), true));
  ASSERT_EQ(3u, traverser->visits.size());
  for (int32_t index = 0; index < 3; ++index) {
    EXPECT_EQ("Point", traverser->visits[index].property);
    EXPECT_EQ(index, traverser->visits[index].index);
  }
  EXPECT_EQ("3.000000,-3.000000", traverser->visits[2].value);

  EXPECT_EQ(AppErr::kNotReady, classObject->TraverseProperties(Ints({1}).Get(), traverser.Get(), false));
  EXPECT_EQ(AppErr::kBadArgument, KsSimpleCollectionBase::ClassGetClassObject()->TraverseProperties(
                                      KsMakeRef<CollectionObserver>().Get(), traverser.Get(), false));
}

TEST(KsSimpleCollection, AddingThroughTheElementPropertyIsAnnouncedOnce) {
  auto ints = Ints({});
  auto observer = KsMakeRef<CollectionObserver>();
  ints->AddObserver(observer, "Int", 0);
  ints->Add(1);  // direct operations announce nothing
  EXPECT_TRUE(observer->changes.empty());

  KsRef<HcProperty> element = Property(ints, "int");
  ASSERT_EQ(AppErr::kNoErr, element->SetValue(ints.Get(), int32_t{2}));
  ASSERT_EQ(1u, observer->changes.size());
  EXPECT_EQ(1, observer->changes[0].propertyId);
  EXPECT_EQ(2u, observer->changes[0].countWhenTold);
  EXPECT_EQ(KsPropertyChangeDescription::kSetting, observer->changes[0].changeType);
  EXPECT_TRUE(observer->changes[0].indices.empty());

  int32_t value = 0;
  EXPECT_EQ(AppErr::kUnsupportedType, element->GetValue(ints.Get(), &value));
  uint32_t count = 0;
  EXPECT_EQ(AppErr::kNoErr, Property(ints, "Count")->GetValue(ints.Get(), &count));
  EXPECT_EQ(2u, count);
}

TEST(KsSimpleCollection, ClassObjectsAnswerTheirRows) {
  struct Row {
    KsRef<KsClassObject> classObject;
    const char* name;
    const char* implName;
    const char* element;
    int32_t elementType;
  };
  const std::vector<Row> rows = {
      {IntCollection::ClassGetClassObject(), "Ints", "IntCollection", "Int", KsPropertyType::kInt},
      {Int64Collection::ClassGetClassObject(), "Int64s", "Int64Collection", "Int64", KsPropertyType::kInt64},
      {FloatCollection::ClassGetClassObject(), "Floats", "FloatCollection", "Float", KsPropertyType::kFloat},
      {DoubleCollection::ClassGetClassObject(), "Doubles", "DoubleCollection", "Double", KsPropertyType::kDouble},
      {PointFCollection::ClassGetClassObject(), "Points", "PointFCollection", "Point", KsPropertyType::kPoint},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(PWStringRef(row.name), row.classObject->GetName());
    EXPECT_STREQ(row.implName, row.classObject->GetImplName());
    EXPECT_TRUE(row.classObject->IsCollection()) << row.name;
    EXPECT_FALSE(row.classObject->IsAbstract()) << row.name;
    EXPECT_EQ(KsSimpleCollectionBase::ClassGetClassObject(), row.classObject->GetParentClass()) << row.name;
    EXPECT_EQ(row.classObject, HcClassMap::FindClassObject(row.name)) << row.name;
    KsRef<HcProperty> element;
    row.classObject->GetElementProperty(element);
    ASSERT_TRUE(element) << row.name;
    EXPECT_EQ(PWStringRef(row.element), element->GetName());
    EXPECT_EQ(row.elementType, element->GetPropertyType());
    EXPECT_EQ(1, element->GetPropertyID());
    EXPECT_TRUE(element->GetIsCollectionProperty());
    KsRef<KsObject> made;
    row.classObject->CreateObject(made);
    auto collection = made.DynamicCast<KsSimpleCollectionBase>();
    ASSERT_TRUE(collection) << row.name;
    EXPECT_EQ(row.elementType, collection->GetPropertyType());
    EXPECT_EQ(row.classObject, collection->GetClassObject());
  }
  EXPECT_TRUE(MakeObject<IntCollection>("ints"));
  EXPECT_FALSE(MakeObject<KsObject>("KsSimpleCollectionBase"));
  KsRef<HcProperty> none;
  KsSimpleCollectionBase::ClassGetClassObject()->GetElementProperty(none);
  EXPECT_FALSE(none);
}

}  // namespace
