#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CollectionObserver.h"
#include "General/HcClassMap.h"
#include "General/ObjectCollection.h"
#include "General/StringTupleCollection.h"
#include "ModelTestClasses.h"
#include "Utilities/HcProperty.h"

namespace {

KsRef<KsObject> Named(const char* name) {
  auto object = KsMakeRef<Gadget>();
  object->SetName(name);
  return object;
}

// The names of the elements, in order.
std::string Names(const KsObjectCollectionBase& collection) {
  std::string names;
  for (uint32_t index = 0; index < collection.GetCount(); ++index) {
    KsRef<KsObject> element;
    collection.GetObjectByIndex(index, &element);
    names += element->GetName().Str();
  }
  return names;
}

class ObjectCollectionTest : public ::testing::Test {
 protected:
  void Fill(const char* names) {
    for (const char* c = names; *c; ++c) {
      const char name[2] = {*c, 0};
      objects.push_back(Named(name));
      collection->AddObject(objects.back());
    }
  }
  void Observe() { collection->AddObserver(observer, "entry", 0); }
  KsRef<HcProperty> Property(const char* name) { return collection->GetClassObject()->FindProperty(name); }

  KsRef<ObjectCollection> collection = KsMakeRef<ObjectCollection>();
  KsRef<CollectionObserver> observer = KsMakeRef<CollectionObserver>();
  std::vector<KsRef<KsObject>> objects;
};

TEST_F(ObjectCollectionTest, DuplicatesAreKeptAndPositionsCompareIdentity) {
  Fill("ab");
  collection->AddObject(objects[0]);
  EXPECT_EQ(3u, collection->GetCount());
  EXPECT_EQ(0, collection->IndexOfObject(objects[0]));
  EXPECT_EQ(1, collection->IndexOfObject(objects[1]));
  // Another object of the same name is not a member.
  EXPECT_EQ(-1, collection->IndexOfObject(Named("a")));
  // A null reference is never stored, so it has no index.
  EXPECT_EQ(-1, collection->IndexOfObject(KsRef<KsObject>()));
  EXPECT_FALSE(collection->ContainsObject(KsRef<KsObject>()));

  EXPECT_EQ(AppErr::kNoErr, collection->InternalRemove(objects[0]));
  EXPECT_EQ("ba", Names(*collection));
  EXPECT_EQ(1, collection->IndexOfObject(objects[0]));
}

TEST_F(ObjectCollectionTest, FailingOperationsChangeNothingAndAnnounceNothing) {
  Fill("ab");
  Observe();
  const KsRef<KsObject> none;
  const KsRef<KsObject> stranger = Named("z");
  struct Case {
    const char* what;
    std::function<eAppErr()> op;
    eAppErr expected;
  };
  const std::vector<Case> cases = {
      {"get past end", [&] { KsRef<KsObject> o; return collection->GetObjectByIndex(2, &o); }, -609},
      {"get without out", [&] { return collection->GetObjectByIndex(0, nullptr); }, -2},
      {"set past end, null", [&] { return collection->InternalSetAt(2, none); }, -609},
      {"checked set of null", [&] { return collection->SetObjectAt(0, none); }, -2},
      {"internal set of null", [&] { return collection->InternalSetAt(0, none); }, -2},
      {"insert null past end", [&] { return collection->InternalInsertAt(5, none); }, -2},
      {"insert null", [&] { return collection->InternalInsertAt(0, none); }, -2},
      {"add null", [&] { return collection->AddObject(none); }, -2},
      {"remove past end", [&] { return collection->RemoveAt(2); }, -609},
      {"remove stranger", [&] { return collection->InternalRemove(stranger); }, -607},
      {"remove null", [&] { return collection->RemoveObject(none); }, -2},
      {"name not found", [&] { KsRef<KsObject> o; return collection->GetObjectByName("c", &o); }, -607},
      {"name in other case", [&] { KsRef<KsObject> o; return collection->GetObjectByName("A", &o); }, -607},
      {"null name", [&] { KsRef<KsObject> o; return collection->GetObjectByName(PWStringRef(), &o); }, -2},
      {"null UUID", [&] { KsRef<KsObject> o; return collection->GetByUUID(KsUUID(), &o); }, -2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, c.op()) << c.what;
  }
  EXPECT_EQ("ab", Names(*collection));
  EXPECT_TRUE(observer->changes.empty());
}

TEST_F(ObjectCollectionTest, LookupsByNameAndUUIDFindTheFirstMatch) {
  Fill("aba");
  KsRef<KsObject> found;
  ASSERT_EQ(AppErr::kNoErr, collection->GetObjectByName("a", &found));
  EXPECT_EQ(objects[0], found);

  objects[1]->AssignUUID();
  ASSERT_EQ(AppErr::kNoErr, collection->GetByUUID(objects[1]->UUID(), &found));
  EXPECT_EQ(objects[1], found);
  EXPECT_EQ(AppErr::kNotFound, collection->GetByUUID(KsUUID::Generate(), &found));
  EXPECT_FALSE(found);
}

TEST_F(ObjectCollectionTest, EveryMutationIsDescribedToObserversAfterTheChange) {
  Fill("abc");
  Observe();
  const KsRef<KsObject> x = Named("x");

  collection->AddObject(x);                     // abcx
  collection->InsertObjectAt(1, Named("y"));    // aybcx
  collection->InsertObjectAt(99, Named("z"));   // aybcxz: appended, at the old count
  collection->SetObjectAt(0, Named("w"));       // wybcxz, replacing a
  collection->RemoveAt(2);                      // wycxz, removing b
  collection->RemoveObject(x);                  // wycz
  EXPECT_EQ("wycz", Names(*collection));

  ASSERT_EQ(6u, observer->changes.size());
  struct Expected {
    int32_t type;
    std::vector<int32_t> indices;
    KsRef<KsObject> replaced;
    uint32_t count;
  };
  const std::vector<Expected> expected = {
      {2, {3}, {}, 4}, {2, {1}, {}, 5}, {2, {5}, {}, 6}, {4, {0}, objects[0], 6}, {3, {2}, objects[1], 5},
      {3, {3}, x, 4},
  };
  for (size_t i = 0; i < expected.size(); ++i) {
    const SeenChange& seen = observer->changes[i];
    EXPECT_EQ(1, seen.propertyId) << i;
    EXPECT_EQ(expected[i].type, seen.changeType) << i;
    EXPECT_EQ(expected[i].indices, seen.indices) << i;
    EXPECT_EQ(expected[i].replaced, seen.replaced) << i;
    // Observers learn of a change only once it is in place.
    EXPECT_EQ(expected[i].count, seen.countWhenTold) << i;
  }
}

TEST_F(ObjectCollectionTest, RemovingAllListsEveryFormerIndexOnce) {
  Fill("abc");
  Observe();
  collection->RemoveAllObjects();
  collection->RemoveAllObjects();
  EXPECT_EQ(0u, collection->GetCount());
  ASSERT_EQ(2u, observer->changes.size());
  EXPECT_EQ(3, observer->changes[0].changeType);
  EXPECT_EQ((std::vector<int32_t>{0, 1, 2}), observer->changes[0].indices);
  // An empty collection still announces, with no indices.
  EXPECT_EQ(3, observer->changes[1].changeType);
  EXPECT_TRUE(observer->changes[1].indices.empty());
}

TEST_F(ObjectCollectionTest, TheDescriptionKeepsARemovedElementAlive) {
  KsRef<KsObject> element = Named("a");
  collection->AddObject(element);
  Observe();
  KsObject* raw = element.Get();
  element = nullptr;
  collection->RemoveAt(0);
  ASSERT_EQ(1u, observer->changes.size());
  EXPECT_EQ(raw, observer->changes[0].replaced.Get());
  EXPECT_EQ("a", observer->changes[0].replaced->GetName().Str());
}

TEST_F(ObjectCollectionTest, ATypedCollectionRefusesElementsOfAnotherClass) {
  auto tuples = KsMakeRef<StringTupleCollection>();
  KsRef<KsObject> notATuple = Named("g");
  EXPECT_EQ(AppErr::kBadArgument, tuples->AddObject(notATuple));
  EXPECT_EQ(AppErr::kBadArgument, tuples->InsertObjectAt(0, notATuple));
  EXPECT_EQ(AppErr::kBadArgument, tuples->GetClassObject()->FindProperty("stringtuple")->SetValue(tuples.Get(), notATuple));
  EXPECT_EQ(0u, tuples->GetCount());
  EXPECT_EQ(AppErr::kNoErr, tuples->AddObject(KsMakeRef<StringStringTuple>()));
}

TEST_F(ObjectCollectionTest, SetOperationsMakeCollectionsOfTheSameClass) {
  Fill("abcde");
  struct Case {
    uint32_t first, end;
    const char* names;
  };
  for (const Case& c : std::vector<Case>{{2, 1, "cde"}, {1, 99, "bcde"}, {7, 9, ""}, {1, 3, "bc"}, {3, 3, ""}}) {
    KsRef<KsObjectCollectionBase> subset = collection->SubsetOfCollection(c.first, c.end);
    ASSERT_TRUE(subset.DynamicCast<ObjectCollection>()) << c.first;
    EXPECT_EQ(c.names, Names(*subset)) << c.first << ".." << c.end;
  }

  auto other = KsMakeRef<ObjectCollection>();
  other->AddObject(objects[3]);
  other->AddObject(Named("q"));
  other->AddObject(objects[1]);
  EXPECT_EQ("db", Names(*collection->CollectionByIntersectingCollection(other)));
  EXPECT_EQ("ace", Names(*collection->CollectionByExcludingCollection(other)));
  EXPECT_FALSE(collection->CollectionByIntersectingCollection(nullptr));
  EXPECT_EQ(collection, collection->CollectionByExcludingCollection(nullptr));
  EXPECT_EQ(0u, collection->CollectionByExcludingCollection(collection)->GetCount());

  EXPECT_EQ(AppErr::kNoErr, collection->AddUniqueObjects(collection));
  EXPECT_EQ("abcde", Names(*collection));
  EXPECT_EQ(AppErr::kNoErr, collection->AddUniqueObjects(other));
  EXPECT_EQ("abcdeq", Names(*collection));
  EXPECT_EQ(AppErr::kNoErr, collection->AddObjects(collection));
  EXPECT_EQ("abcdeqabcdeq", Names(*collection));
  EXPECT_EQ(AppErr::kNoErr, collection->AddObjects(nullptr));
}

TEST_F(ObjectCollectionTest, ActionNamesMakeElementDescriptors) {
  Fill("abcd");
  Observe();
  KsRef<KsObject> value;
  ASSERT_TRUE(Property("3"));
  EXPECT_EQ(AppErr::kNoErr, Property("3")->GetValue(collection.Get(), &value));
  EXPECT_EQ(objects[3], value);
  EXPECT_EQ(-1, Property("3")->GetPropertyID());
  EXPECT_EQ(PWStringRef("+0"), Property("+0")->GetName());

  EXPECT_EQ(AppErr::kNoErr, Property("+0")->SetValue(collection.Get(), Named("x")));
  EXPECT_EQ(AppErr::kNoErr, Property("-2")->SetValue(collection.Get(), KsRef<KsObject>()));
  EXPECT_EQ(AppErr::kNoErr, Property("1")->SetValue(collection.Get(), Named("y")));
  EXPECT_EQ("xycd", Names(*collection));
  ASSERT_EQ(3u, observer->changes.size());
  EXPECT_EQ(2, observer->changes[0].changeType);
  EXPECT_EQ(std::vector<int32_t>{0}, observer->changes[0].indices);

  // Reading an insertion fails; an element of the wrong class is refused.
  EXPECT_EQ(AppErr::kUnsupportedType, Property("+1")->GetValue(collection.Get(), &value));
  auto tuples = KsMakeRef<StringTupleCollection>();
  tuples->Add(KsMakeRef<StringStringTuple>());
  KsRef<HcProperty> element = tuples->GetClassObject()->FindProperty("0");
  EXPECT_EQ(AppErr::kTextNotConvertible, element->SetValue(tuples.Get(), Named("g")));
  EXPECT_EQ(AppErr::kBadArgument, element->GetValue(collection.Get(), &value));
  EXPECT_EQ(AppErr::kIndexOutOfRange, Property("9")->GetValue(collection.Get(), &value));
}

TEST_F(ObjectCollectionTest, OnlyDigitsWithAnOptionalSignAreActionNames) {
  Fill("ab");
  // A misspelt property name must not quietly address element 0.
  for (const char* name : {"Foo", "Cont", "x", "3x", " 3", "+", "-", "+-1", "1.0", "0x1", "99999999999", "[0]"}) {
    EXPECT_FALSE(Property(name)) << name;
  }
  for (const char* name : {"0", "+7", "-1", "4294967295"}) {
    EXPECT_TRUE(Property(name)) << name;
  }
  // Declared properties come first, in any letter case.
  EXPECT_EQ(2, Property("count")->GetPropertyID());
}

TEST_F(ObjectCollectionTest, TheElementPropertyAppendsAndIsAnnouncedOnce) {
  Observe();
  KsRef<HcProperty> entry = Property("entry");
  ASSERT_TRUE(entry);
  EXPECT_TRUE(entry->GetIsCollectionProperty());
  EXPECT_FALSE(entry->GetShouldSerialize());
  EXPECT_EQ(PWStringRef("KsObject"), entry->GetPropertyTypeClass()->GetName());

  EXPECT_EQ(AppErr::kNoErr, entry->SetValue(collection.Get(), Named("a")));
  EXPECT_EQ(1u, collection->GetCount());
  ASSERT_EQ(1u, observer->changes.size());
  EXPECT_EQ(1u, observer->changes[0].countWhenTold);
  // The outer scope's description is delivered as made: a defined kind.
  EXPECT_EQ(KsPropertyChangeDescription::kSetting, observer->changes[0].changeType);

  KsRef<KsObject> value;
  EXPECT_EQ(AppErr::kUnsupportedType, entry->GetValue(collection.Get(), &value));
  uint32_t count = 0;
  EXPECT_EQ(AppErr::kNoErr, Property("Count")->GetValue(collection.Get(), &count));
  EXPECT_EQ(1u, count);
  EXPECT_EQ(AppErr::kUnsupportedType, Property("Count")->SetValue(collection.Get(), 3u));
}

TEST_F(ObjectCollectionTest, TraversalVisitsTheElementsOnly) {
  Fill("ab");
  collection->SetName("not visited");
  auto traverser = KsMakeRef<VisitRecorder>();
  KsRef<KsClassObject> classObject = collection->GetClassObject();
  ASSERT_EQ(AppErr::kNoErr, classObject->TraverseProperties(collection.Get(), traverser.Get(), true));
  ASSERT_EQ(2u, traverser->visits.size());
  EXPECT_EQ("entry", traverser->visits[1].property);
  EXPECT_EQ(1, traverser->visits[1].index);
  EXPECT_EQ("b", traverser->visits[1].value);

  auto tuples = KsMakeRef<StringTupleCollection>();
  EXPECT_EQ(AppErr::kNotReady, classObject->TraverseProperties(tuples.Get(), traverser.Get(), false));
  EXPECT_EQ(AppErr::kNotReady, classObject->TraverseProperties(nullptr, traverser.Get(), false));
  KsRef<KsClassObject> base = KsObjectCollectionBase::ClassGetClassObject();
  EXPECT_EQ(AppErr::kBadArgument, base->TraverseProperties(Named("g").Get(), traverser.Get(), false));
  EXPECT_EQ(AppErr::kNotReady,
            StringStringTuple::ClassGetClassObject()->TraverseProperties(tuples.Get(), traverser.Get(), false));
}

TEST(ObjectCollectionClasses, ClassObjectsAnswerTheirRows) {
  KsRef<ObjectCollection> made = MakeObject<ObjectCollection>("objects");
  ASSERT_TRUE(made);
  EXPECT_EQ(0u, made->GetCount());
  EXPECT_TRUE(MakeObject<StringTupleCollection>("StringTuples"));
  EXPECT_FALSE(MakeObject<KsObject>("KsObjectCollectionBase"));

  KsRef<KsClassObject> classObject = ObjectCollection::ClassGetClassObject();
  EXPECT_STREQ("ObjectCollection", classObject->GetImplName());
  EXPECT_TRUE(classObject->IsCollection());
  EXPECT_FALSE(classObject->IsAbstract());
  EXPECT_EQ(KsObjectCollectionBase::ClassGetClassObject(), classObject->GetParentClass());
  EXPECT_EQ(KsObject::ClassGetClassObject(), classObject->GetParentClass()->GetParentClass());
  KsRef<HcProperty> element;
  classObject->GetElementProperty(element);
  ASSERT_TRUE(element);
  EXPECT_EQ(PWStringRef("entry"), element->GetName());
}

}  // namespace
