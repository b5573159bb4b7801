#include <gtest/gtest.h>

#include <string>

#include "General/HcClassMap.h"
#include "General/StringStringTuple.h"
#include "General/StringToStringLookupTable.h"
#include "General/StringTupleCollection.h"
#include "ModelTestClasses.h"
#include "Utilities/HcProperty.h"

namespace {

KsRef<StringStringTuple> Tuple(const char* first, const char* second) {
  auto tuple = KsMakeRef<StringStringTuple>();
  tuple->SetFirst(first);
  tuple->SetSecond(second);
  return tuple;
}

TEST(StringStringTuple, SetsThroughPropertiesAreAnnouncedDirectSetsAreNot) {
  KsRef<StringStringTuple> tuple = MakeObject<StringStringTuple>("StringStringTuple");
  ASSERT_TRUE(tuple);
  EXPECT_TRUE(tuple->GetFirst().IsNull());
  EXPECT_TRUE(tuple->GetSecond().IsNull());

  auto recorder = KsMakeRef<ChangeRecorder>();
  tuple->AddObserver(recorder, "First", 0);
  tuple->AddObserver(recorder, "Second", 0);
  tuple->SetFirst("class");
  EXPECT_EQ(0, recorder->notices);
  KsRef<KsClassObject> classObject = tuple->GetClassObject();
  classObject->FindProperty("second")->SetValue(tuple.Get(), PWStringRef("property"));
  classObject->FindProperty("First")->SetValue(tuple.Get(), PWStringRef("other"));
  EXPECT_EQ((std::vector<int32_t>{201, 200}), recorder->seenIds);
  EXPECT_EQ(PWStringRef("other"), tuple->GetFirst());
  EXPECT_EQ(PWStringRef("property"), tuple->GetSecond());
}

TEST(StringToStringLookupTable, TuplesAreMadeOnFirstReadAndKept) {
  KsRef<StringToStringLookupTable> table = MakeObject<StringToStringLookupTable>("StringToStringLookupTable");
  ASSERT_TRUE(table);
  KsRef<StringTupleCollection> tuples = table->GetTuples();
  ASSERT_TRUE(tuples);
  EXPECT_EQ(0u, tuples->GetCount());
  EXPECT_EQ(tuples, table->GetTuples());

  table->SetTuples(nullptr);
  KsRef<StringTupleCollection> fresh = table->GetTuples();
  ASSERT_TRUE(fresh);
  EXPECT_NE(tuples, fresh);

  auto recorder = KsMakeRef<ChangeRecorder>();
  table->AddObserver(recorder, "Tuples", 0);
  KsRef<HcProperty> property = table->GetClassObject()->FindProperty("Tuples");
  EXPECT_EQ(StringTupleCollection::ClassGetClassObject(), property->GetPropertyTypeClass());
  ASSERT_EQ(AppErr::kNoErr, property->SetValue(table.Get(), KsRef<KsObject>(tuples)));
  EXPECT_EQ(tuples, table->GetTuples());
  EXPECT_EQ(std::vector<int32_t>{200}, recorder->seenIds);
  EXPECT_EQ(AppErr::kBadArgument, property->SetValue(table.Get(), KsRef<KsObject>(Tuple("a", "b"))));
}

TEST(StringTupleCollection, ElementsWrittenThroughTheElementPropertyKeepTheirOrder) {
  KsRef<StringTupleCollection> tuples = MakeObject<StringTupleCollection>("stringtuples");
  ASSERT_TRUE(tuples);
  KsRef<KsClassObject> classObject = tuples->GetClassObject();
  KsRef<HcProperty> element = classObject->FindProperty("stringtuple");
  ASSERT_TRUE(element);
  EXPECT_EQ(StringStringTuple::ClassGetClassObject(), element->GetPropertyTypeClass());
  for (auto* pair : {"ab", "cd", "ae"}) {
    const std::string text(pair);
    ASSERT_EQ(AppErr::kNoErr, element->SetValue(tuples.Get(), KsRef<KsObject>(Tuple(text.substr(0, 1).c_str(),
                                                                                    text.substr(1).c_str()))));
  }
  uint32_t count = 0;
  ASSERT_EQ(AppErr::kNoErr, classObject->FindProperty("Count")->GetValue(tuples.Get(), &count));
  EXPECT_EQ(3u, count);
  std::string seconds;
  for (uint32_t index = 0; index < tuples->GetCount(); ++index) {
    seconds += tuples->GetByIndex(index)->GetSecond().Str();
  }
  EXPECT_EQ("bde", seconds);

  KsRef<StringStringTuple> found;
  EXPECT_EQ(AppErr::kNoErr, tuples->GetByIndex(2, &found));
  EXPECT_EQ(PWStringRef("e"), found->GetSecond());
  EXPECT_EQ(AppErr::kIndexOutOfRange, tuples->GetByIndex(3, &found));
  EXPECT_EQ(PWStringRef("e"), found->GetSecond());
  EXPECT_FALSE(tuples->GetByIndex(3));
  EXPECT_STREQ("StringTupleCollection", classObject->GetImplName());
  EXPECT_EQ(KsObjectCollectionBase::ClassGetClassObject(), classObject->GetParentClass());
}

}  // namespace
