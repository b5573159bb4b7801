#include <gtest/gtest.h>

#include <functional>

#include "General/CocoaBridge.h"
#include "General/CocoaMethod.h"
#include "General/KsValueWrapper.h"
#include "General/ObjectCollection.h"
#include "platform/runtime/MessageSend.h"

namespace rt = hc::runtime;

namespace {

using Collection = KsRef<ObjectCollection>;

// Four elements (the second one stored twice) and an outsider.
struct Scene {
  std::vector<KsRef<KsObject>> items;
  Collection collection;
  Collection other;

  Scene() {
    for (int i = 0; i < 5; ++i) {
      auto item = KsMakeRef<KsValueWrapper>();
      item->SetName(PWStringRef(i == 3 ? "one" : "item" + std::to_string(i)));
      items.push_back(item);
    }
  }
  // Both runs share the elements; each gets its own collections.
  void Fill() {
    collection = KsMakeRef<ObjectCollection>();
    for (int i : {0, 1, 2, 1}) collection->AddObject(items[i]);
    other = KsMakeRef<ObjectCollection>();
    for (int i : {2, 4, 0}) other->AddObject(items[i]);
  }
  rt::Value Item(int i) const { return rt::Value::Object(GetCocoaObject(items[i].Get())); }
  rt::Value Other() const { return rt::Value::Object(GetCocoaObject(other.Get())); }
};

// A collection result compares by its elements, in order.
rt::Value Contents(const rt::Value& value) {
  auto collection = KsObjectFromCocoa(value.GetObject()).DynamicCast<KsObjectCollectionBase>();
  if (!collection) return value;
  rt::ValueArray elements;
  for (uint32_t i = 0; i < collection->GetCount(); ++i) {
    KsRef<KsObject> element;
    collection->GetObjectByIndex(i, &element);
    elements.push_back(cocoa_method::ToValue(element));
  }
  return rt::Value::Array(std::move(elements));
}

rt::Value BoxCollection(const KsRef<KsObjectCollectionBase>& collection) { return cocoa_method::ToValue(collection); }

struct CollectionCase {
  const char* selector;
  std::function<std::vector<rt::Value>(Scene&, rt::Value* out)> arguments;
  std::function<rt::Value(Scene&, rt::Value* out)> model;
};

std::vector<rt::Value> None(Scene&, rt::Value*) { return {}; }

}  // namespace

TEST(BridgedCollectionMethodsTest, EverySelectorDoesWhatItsOperationDoes) {
  using V = rt::Value;
  using S = Scene;
  const CollectionCase cases[] = {
      {"contains:", [](S& s, V*) { return std::vector{s.Item(2)}; },
       [](S& s, V*) { return V::Bool(s.collection->ContainsObject(s.items[2])); }},
      {"contains:", [](S& s, V*) { return std::vector{s.Item(4)}; },
       [](S& s, V*) { return V::Bool(s.collection->ContainsObject(s.items[4])); }},
      {"contains:", [](S&, V*) { return std::vector{V::Nil()}; },
       [](S& s, V*) { return V::Bool(s.collection->ContainsObject({})); }},
      {"indexOf:", [](S& s, V*) { return std::vector{s.Item(1)}; },
       [](S& s, V*) { return V::Int(s.collection->IndexOfObject(s.items[1])); }},
      {"indexOf:", [](S& s, V*) { return std::vector{s.Item(4)}; },
       [](S& s, V*) { return V::Int(s.collection->IndexOfObject(s.items[4])); }},
      {"clear", None, [](S& s, V*) { s.collection->RemoveAllObjects(); return V(); }},
      {"count", None, [](S& s, V*) { return V::UInt(s.collection->GetCount()); }},
      // The object comes before the index, as the selector reads.
      {"setObject:atIndex:", [](S& s, V*) { return std::vector{s.Item(4), V::UInt(0)}; },
       [](S& s, V*) { return V::Int(s.collection->SetObjectAt(0, s.items[4])); }},
      {"setObject:atIndex:", [](S& s, V*) { return std::vector{s.Item(4), V::UInt(9)}; },
       [](S& s, V*) { return V::Int(s.collection->SetObjectAt(9, s.items[4])); }},
      {"setObject:atIndex:", [](S&, V*) { return std::vector{V::Nil(), V::UInt(0)}; },
       [](S& s, V*) { return V::Int(s.collection->SetObjectAt(0, {})); }},
      {"insertObject:atIndex:", [](S& s, V*) { return std::vector{s.Item(4), V::UInt(1)}; },
       [](S& s, V*) { return V::Int(s.collection->InsertObjectAt(1, s.items[4])); }},
      {"insertObject:atIndex:", [](S& s, V*) { return std::vector{s.Item(4), V::UInt(99)}; },
       [](S& s, V*) { return V::Int(s.collection->InsertObjectAt(99, s.items[4])); }},
      {"removeObject:", [](S& s, V*) { return std::vector{s.Item(1)}; },
       [](S& s, V*) { return V::Int(s.collection->RemoveObject(s.items[1])); }},
      {"removeObject:", [](S& s, V*) { return std::vector{s.Item(4)}; },
       [](S& s, V*) { return V::Int(s.collection->RemoveObject(s.items[4])); }},
      {"addObject:", [](S& s, V*) { return std::vector{s.Item(4)}; },
       [](S& s, V*) { return V::Int(s.collection->AddObject(s.items[4])); }},
      {"addObject:", [](S&, V*) { return std::vector{V::Nil()}; },
       [](S& s, V*) { return V::Int(s.collection->AddObject({})); }},
      // Out-pointers come first, as the selectors read.
      {"getObject:atIndex:", [](S&, V* out) { return std::vector{V::OutPointer(out), V::UInt(2)}; },
       [](S& s, V* out) {
         KsRef<KsObject> element;
         const eAppErr err = s.collection->GetObjectByIndex(2, &element);
         *out = cocoa_method::ToValue(element);
         return V::Int(err);
       }},
      {"getObject:atIndex:", [](S&, V* out) { return std::vector{V::OutPointer(out), V::UInt(7)}; },
       [](S& s, V* out) {
         KsRef<KsObject> element;
         const eAppErr err = s.collection->GetObjectByIndex(7, &element);
         *out = V::Nil();
         return V::Int(err);
       }},
      {"getObject:atIndex:", [](S&, V*) { return std::vector{V::OutPointer<V>(nullptr), V::UInt(0)}; },
       [](S&, V*) { return V::Int(0); }},
      {"getObject:withName:", [](S&, V* out) { return std::vector{V::OutPointer(out), V::String("one")}; },
       [](S& s, V* out) {
         KsRef<KsObject> element;
         const eAppErr err = s.collection->GetObjectByName(PWStringRef("one"), &element);
         *out = cocoa_method::ToValue(element);
         return V::Int(err);
       }},
      {"getObject:withName:", [](S&, V* out) { return std::vector{V::OutPointer(out), V::String("ONE")}; },
       [](S& s, V* out) {
         KsRef<KsObject> element;
         const eAppErr err = s.collection->GetObjectByName(PWStringRef("ONE"), &element);
         *out = V::Nil();
         return V::Int(err);
       }},
      {"removeAt:", [](S&, V*) { return std::vector{V::UInt(1)}; },
       [](S& s, V*) { return V::Int(s.collection->RemoveAt(1)); }},
      {"removeAt:", [](S&, V*) { return std::vector{V::UInt(4)}; },
       [](S& s, V*) { return V::Int(s.collection->RemoveAt(4)); }},
      {"unionWithCollection:", [](S& s, V*) { return std::vector{s.Other()}; },
       [](S& s, V*) { return V::Int(s.collection->AddObjects(s.other)); }},
      {"mergeWithCollection:", [](S& s, V*) { return std::vector{s.Other()}; },
       [](S& s, V*) { return V::Int(s.collection->AddUniqueObjects(s.other)); }},
      {"collectionByIntersectingCollection:", [](S& s, V*) { return std::vector{s.Other()}; },
       [](S& s, V*) { return BoxCollection(s.collection->CollectionByIntersectingCollection(s.other)); }},
      {"collectionByIntersectingCollection:", [](S&, V*) { return std::vector{V::Nil()}; },
       [](S&, V*) { return V::Nil(); }},
      {"collectionByExcludingCollection:", [](S& s, V*) { return std::vector{s.Other()}; },
       [](S& s, V*) { return BoxCollection(s.collection->CollectionByExcludingCollection(s.other)); }},
      {"subsetOfCollectionFrom:to:", [](S&, V*) { return std::vector{V::UInt(1), V::UInt(3)}; },
       [](S& s, V*) { return BoxCollection(s.collection->SubsetOfCollection(1, 3)); }},
      {"subsetOfCollectionFrom:to:", [](S&, V*) { return std::vector{V::UInt(2), V::UInt(1)}; },
       [](S& s, V*) { return BoxCollection(s.collection->SubsetOfCollection(2, 1)); }},
  };
  Scene scene;
  for (const CollectionCase& c : cases) {
    SCOPED_TRACE(c.selector);
    scene.Fill();
    rt::Value modelOut;
    const rt::Value expected = Contents(c.model(scene, &modelOut));
    const rt::Value expectedContents = Contents(cocoa_method::ToValue(scene.collection));

    scene.Fill();
    rt::Value bridgeOut;
    const std::vector<rt::Value> arguments = c.arguments(scene, &bridgeOut);
    rt::Value result;
    ASSERT_EQ(rt::Send(GetCocoaObject(scene.collection.Get()).Get(), rt::RegisterSelector(c.selector), arguments,
                       &result),
              rt::RuntimeErr::Ok);
    EXPECT_EQ(Contents(result), expected);
    EXPECT_EQ(bridgeOut, modelOut);
    EXPECT_EQ(Contents(cocoa_method::ToValue(scene.collection)), expectedContents);
  }
}

TEST(BridgedCollectionMethodsTest, ArgumentsOfTheWrongKindAreRefused) {
  auto collection = KsMakeRef<ObjectCollection>();
  rt::ObjectRef id = GetCocoaObject(collection.Get());
  // The index is the second argument: an index first no longer passes.
  EXPECT_EQ(rt::Send(id.Get(), "setObject:atIndex:", {rt::Value::UInt(0), rt::Value::Nil()}),
            rt::RuntimeErr::ArgumentMismatch);
  EXPECT_EQ(rt::Send(id.Get(), "getObject:atIndex:", {rt::Value::UInt(0), rt::Value::Pointer(nullptr, '@')}),
            rt::RuntimeErr::ArgumentMismatch);
  // Excluding nothing answers the receiver itself.
  rt::Value same;
  ASSERT_EQ(rt::Send(id.Get(), "collectionByExcludingCollection:", {rt::Value::Nil()}, &same), rt::RuntimeErr::Ok);
  EXPECT_EQ(same.GetObject(), id.Get());
}
