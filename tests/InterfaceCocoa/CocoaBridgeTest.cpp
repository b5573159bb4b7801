#include <gtest/gtest.h>

#include <thread>

#include "General/CocoaBridge.h"
#include "General/CocoaProxyClass.h"
#include "General/HcClassMap.h"
#include "General/KsValueWrapper.h"
#include "General/ObjectCollection.h"
#include "General/StringStringTuple.h"
#include "General/IntCollection.h"
#include "InterfaceCocoa/NSObjectProxy.h"
#include "Utilities/HcProperty.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/KeyValueCoding.h"
#include "platform/runtime/KeyedArchive.h"
#include "platform/runtime/MainThreadQueue.h"
#include "platform/runtime/MessageSend.h"
#include "platform/runtime/NativeObject.h"
#include "RegisterAllClasses.h"

namespace rt = hc::runtime;

namespace {

// A plain run-time observer recording what reaches it.
class Recorder : public rt::NativeObject {
 public:
  Recorder() : NativeObject(GetClass()) {}
  struct Seen {
    std::string key;
    rt::KeyValueChange change;
    void* context;
    bool onMainThread;
  };
  std::vector<Seen> seen;

  static rt::Class* GetClass() {
    static rt::Class* cls = [] {
      rt::Class* made = nullptr;
      rt::MakeClass("BridgeTestRecorder", rt::RootClass(), &made);
      made->AddMethods({{rt::RegisterSelector("observeValueForKeyPath:ofObject:change:context:"), "v@:@@@^v",
                         &Observe, {}}});
      return made;
    }();
    return cls;
  }

 private:
  static rt::RuntimeErr Observe(rt::Id self, const rt::Method&, std::span<const rt::Value> a, rt::Value&) {
    static_cast<Recorder*>(self)->seen.push_back(
        {a[0].GetString(), a[2].GetChange(), a[3].GetPointer().pointer, rt::MainThreadQueue::IsMainThread()});
    return rt::RuntimeErr::Ok;
  }
};

std::string ExpectedGetter(const std::string& name) {
  std::string getter = name;
  // Names with the class prefix keep it ("HcContext").
  if (getter.size() > 2 && getter.compare(0, 2, "Hc") == 0 && isupper(getter[2])) return getter;
  if (getter.size() > 0 && isupper(getter[0]) && !(getter.size() > 1 && isupper(getter[1]))) getter[0] = tolower(getter[0]);
  return getter;
}

// A sample of each value type, as set by key.
rt::Value SampleFor(int32_t type) {
  switch (type) {
    case KsPropertyType::kFloat: return rt::Value::Float(0.5f);
    case KsPropertyType::kInt: return rt::Value::Int(-3);
    case KsPropertyType::kUInt: return rt::Value::UInt(4);
    case KsPropertyType::kString: return rt::Value::String("text");
    case KsPropertyType::kBool: return rt::Value::Bool(true);
    case KsPropertyType::kPoint: return rt::Value::MakePoint({1, 2});
    case KsPropertyType::kSize: return rt::Value::MakeSize({3, 4});
    case KsPropertyType::kRect: return rt::Value::MakeRect({{1, 2}, {3, 4}});
    case KsPropertyType::kColor: return rt::Value::MakeColor({0.25f, 0.5f, 0.75f, 1});
    case KsPropertyType::kDouble: return rt::Value::Double(0.125);
    case KsPropertyType::kInt64: return rt::Value::Int64(1LL << 40);
    default: return rt::Value();
  }
}

}  // namespace

TEST(CocoaBridgeTest, EveryRegisteredClassHasItsProxyClassAndAccessors) {
  for (const KsRef<KsClassObject>& classObject : HcClassMap::GetAllClassObjects()) {
    SCOPED_TRACE(std::string(classObject->GetName().View()));
    rt::Class* cls = classObject->GetCocoaClass();
    ASSERT_NE(cls, nullptr);
    EXPECT_EQ(cls->GetName(), CocoaProxyClassName(classObject.Get()));
    KsRef<KsClassObject> parent = classObject->GetParentClass();
    EXPECT_EQ(cls->GetSuperclass(), parent ? parent->GetCocoaClass() : rt::RootClass());
    EXPECT_TRUE(cls->InheritsFrom(GetCKsObjectClass()));
    HcPropertyList properties;
    classObject->GetPropertyList(properties, true);
    KsRef<KsObject> object;
    if (!classObject->IsAbstract()) classObject->CreateObject(object);
    rt::ObjectRef id = GetCocoaObject(object.Get());
    for (const KsRef<HcProperty>& property : properties) {
      const std::string name(property->GetName().View());
      SCOPED_TRACE(name);
      const rt::Method* getter = cls->FindMethod(rt::RegisterSelector(ExpectedGetter(name)));
      const rt::Method* setter = cls->FindMethod(rt::RegisterSelector("set" + name + ":"));
      if (KsPropertyType::IsKnownType(property->GetPropertyType())) {
        EXPECT_EQ(getter != nullptr, property->GetCanGet());
        if (property->GetCanSet()) {
          EXPECT_NE(setter, nullptr);
        }
      }
      rt::Value sample = SampleFor(property->GetPropertyType());
      if (!id || sample.IsVoid() || !property->GetCanGet() || !property->GetCanSet()) continue;
      // A running clock's time moves on between two reads.
      if (name == "TimeNow") continue;
      // Through the setter and the getter the key names, the value lands in
      // the model and comes back as the model holds it.
      EXPECT_EQ(rt::SetValueForKey(id.Get(), name, sample), rt::RuntimeErr::Ok);
      rt::Value read;
      EXPECT_EQ(rt::ValueForKey(id.Get(), name, &read), rt::RuntimeErr::Ok);
      rt::Value direct;
      rt::Send(id.Get(), "ksPropertyValueForKey:", {rt::Value::String(name)}, &direct);
      EXPECT_EQ(read, direct);
    }
  }
}

TEST(CocoaBridgeTest, ValuesOfEveryTypeReadBackExactly) {
  auto wrapper = KsMakeRef<KsValueWrapper>();
  rt::ObjectRef id = GetCocoaObject(wrapper.Get());
  const std::pair<const char*, rt::Value> cases[] = {
      {"IntValue", rt::Value::Int(-7)},         {"UIntValue", rt::Value::UInt(9)},
      {"Int64Value", rt::Value::Int64(-(1LL << 40))}, {"FloatValue", rt::Value::Float(1.5f)},
      {"DoubleValue", rt::Value::Double(2.25)}, {"BooleanValue", rt::Value::Bool(true)},
      {"StringValue", rt::Value::String("a longer text")},
  };
  for (const auto& [key, value] : cases) {
    SCOPED_TRACE(key);
    ASSERT_EQ(rt::SetValueForKey(id.Get(), key, value), rt::RuntimeErr::Ok);
    rt::Value read;
    ASSERT_EQ(rt::ValueForKey(id.Get(), key, &read), rt::RuntimeErr::Ok);
    EXPECT_EQ(read, value);
  }
  // A number set where a bool is taken.
  rt::Send(id.Get(), "ksSetProperty:toValue:", {rt::Value::String("booleanValue"), rt::Value::Int(0)});
  EXPECT_FALSE(wrapper->GetBooleanValue());
  rt::Value read;
  EXPECT_EQ(rt::ValueForKey(id.Get(), "NoSuchKey", &read), rt::RuntimeErr::UndefinedKey);
}

TEST(CocoaBridgeTest, OneIdentityAndOneCountAcrossBothSides) {
  auto wrapper = KsMakeRef<KsValueWrapper>();
  rt::ObjectRef first = GetCocoaObject(wrapper.Get());
  rt::ObjectRef second = GetCocoaObject(wrapper.Get());
  EXPECT_EQ(first, second);
  EXPECT_EQ(wrapper->GetRetainCount(), 3);
  rt::Value count;
  rt::Send(first.Get(), "retainCount", {}, &count);
  EXPECT_EQ(count.GetUInt(), 3u);
  rt::Send(first.Get(), "dealloc", {});
  EXPECT_EQ(wrapper->GetRetainCount(), 3);
  EXPECT_EQ(KsObjectFromCocoa(first.Get()), wrapper);
}

TEST(CocoaBridgeTest, AllocMakesTheProxyClassOwnClassObject) {
  // Proxy classes exist once the classes are registered, as at start-up.
  RegisterAllClasses();
  // "Strings" is the external name of KsStringCollection: the proxy class
  // keeps its class object, so the right class is made.
  rt::Class* cls = rt::LookUpClass("C_KsStringCollection");
  ASSERT_NE(cls, nullptr);
  rt::Value made;
  ASSERT_EQ(rt::Send(rt::ClassAsId(cls), "alloc", {}, &made), rt::RuntimeErr::Ok);
  KsRef<KsObject> object = KsObjectFromCocoa(made.GetObject());
  ASSERT_TRUE(object);
  EXPECT_EQ(object->GetClassObject()->GetImplName(), std::string("KsStringCollection"));
  EXPECT_EQ(object->GetRetainCount(), 2);
  rt::Value none;
  rt::Send(rt::ClassAsId(rt::LookUpClass("C_KsObjectCollectionBase")), "new", {}, &none);
  EXPECT_TRUE(none.IsNil());
}

TEST(CocoaBridgeTest, CollectionPropertiesAnswerCollectionAccessors) {
  auto collection = KsMakeRef<ObjectCollection>();
  auto a = KsMakeRef<KsValueWrapper>();
  auto b = KsMakeRef<KsValueWrapper>();
  collection->AddObject(a);
  auto holder = KsMakeRef<KsValueWrapper>();
  rt::ObjectRef id = GetCocoaObject(collection.Get());
  // Object collections through the accessors of any class holding one; here
  // the collection's own class object answers "Count".
  rt::Value count;
  ASSERT_EQ(rt::ValueForKey(id.Get(), "Count", &count), rt::RuntimeErr::Ok);
  EXPECT_EQ(count.GetUInt(), 1u);
  auto ints = KsMakeRef<IntCollection>();
  ints->Add(4);
  ints->Add(5);
  (void)b;
  (void)holder;
  rt::ObjectRef intsId = GetCocoaObject(ints.Get());
  rt::Value element;
  ASSERT_EQ(rt::Send(intsId.Get(), "ksPropertyValueForKey:", {rt::Value::String("1")}, &element), rt::RuntimeErr::Ok);
  EXPECT_EQ(element, rt::Value::Int(5));
}

TEST(CocoaBridgeTest, RelayedChangesReachPlainObserversOnTheMainThreadOnly) {
  rt::MainThreadQueue::MarkMainThread();
  auto collection = KsMakeRef<ObjectCollection>();
  KsRef<HcProperty> element;
  collection->GetClassObject()->GetElementProperty(element);
  ASSERT_TRUE(element);
  const std::string key(element->GetName().View());
  rt::ObjectRef id = GetCocoaObject(collection.Get());
  auto* recorder = new Recorder();
  rt::ObjectRef observer = rt::ObjectRef::Adopt(recorder);
  int context = 0;
  ASSERT_EQ(rt::Send(id.Get(), "addObserver:forKeyPath:options:context:",
                     {rt::Value::Object(observer), rt::Value::String(key), rt::Value::UInt(0), rt::Value::Pointer(&context)}),
            rt::RuntimeErr::Ok);
  std::thread worker([&] {
    collection->AddObject(KsMakeRef<KsValueWrapper>());
    collection->AddObject(KsMakeRef<KsValueWrapper>());
    collection->RemoveAt(1);
  });
  worker.join();
  EXPECT_TRUE(recorder->seen.empty());
  rt::MainThreadQueue::Drain();
  ASSERT_EQ(recorder->seen.size(), 3u);
  EXPECT_EQ(recorder->seen[0].change, (rt::KeyValueChange{2, {0}}));
  EXPECT_EQ(recorder->seen[2].change, (rt::KeyValueChange{3, {1}}));
  EXPECT_EQ(recorder->seen[2].key, key);
  EXPECT_EQ(recorder->seen[2].context, &context);
  EXPECT_TRUE(recorder->seen[2].onMainThread);

  // A notice already queued when the observer dies is dropped at delivery.
  collection->AddObject(KsMakeRef<KsValueWrapper>());
  EXPECT_EQ(NSObjectProxy::CountProxiesForNSObject(static_cast<rt::Id>(recorder)), 1u);
  observer = rt::ObjectRef();
  EXPECT_EQ(NSObjectProxy::CountProxiesForNSObject(static_cast<rt::Id>(recorder)), 0u);
  EXPECT_EQ(rt::MainThreadQueue::Drain(), 1u);
}

TEST(CocoaBridgeTest, RemovingAPlainObserverRemovesEveryRegistration) {
  auto wrapper = KsMakeRef<KsValueWrapper>();
  rt::ObjectRef id = GetCocoaObject(wrapper.Get());
  auto* recorder = new Recorder();
  rt::ObjectRef observer = rt::ObjectRef::Adopt(recorder);
  for (int i = 0; i < 2; ++i) {
    rt::Send(id.Get(), "addObserver:forKeyPath:options:context:",
             {rt::Value::Object(observer), rt::Value::String("IntValue"), rt::Value::UInt(0), rt::Value::Pointer(nullptr)});
  }
  EXPECT_EQ(NSObjectProxy::CountProxiesForNSObject(static_cast<rt::Id>(recorder)), 2u);
  rt::Send(id.Get(), "removeObserver:forKeyPath:", {rt::Value::Object(observer), rt::Value::String("IntValue")});
  EXPECT_EQ(NSObjectProxy::CountProxiesForNSObject(static_cast<rt::Id>(recorder)), 0u);
  rt::SetValueForKey(id.Get(), "IntValue", rt::Value::Int(3));
  rt::MainThreadQueue::Drain();
  EXPECT_TRUE(recorder->seen.empty());
  // The model object's death takes its proxies out of the map.
  rt::Send(id.Get(), "addObserver:forKeyPath:options:context:",
           {rt::Value::Object(observer), rt::Value::String("IntValue"), rt::Value::UInt(0), rt::Value::Pointer(nullptr)});
  id = rt::ObjectRef();
  wrapper = nullptr;
  EXPECT_EQ(NSObjectProxy::CountProxiesForNSObject(static_cast<rt::Id>(recorder)), 0u);
}

TEST(CocoaBridgeTest, ArchiveAndUnarchiveThroughHcMLGiveAnEqualObject) {
  auto tuple = KsMakeRef<StringStringTuple>();
  tuple->SetFirst("with <markup> & more");
  tuple->SetSecond("second");
  rt::ObjectRef id = GetCocoaObject(tuple.Get());
  rt::KeyedArchive archive;
  ASSERT_EQ(rt::ArchiveObject(id.Get(), &archive), rt::RuntimeErr::Ok);
  EXPECT_EQ(archive.className, "C_StringStringTuple");
  ASSERT_EQ(archive.strings.count("hcml"), 1u);
  rt::ObjectRef copy;
  ASSERT_EQ(rt::UnarchiveObject(archive, &copy), rt::RuntimeErr::Ok);
  auto restored = KsObjectFromCocoa(copy.Get()).DynamicCast<StringStringTuple>();
  ASSERT_TRUE(restored);
  EXPECT_NE(restored, tuple);
  EXPECT_EQ(restored->GetFirst(), tuple->GetFirst());
  EXPECT_EQ(restored->GetSecond(), tuple->GetSecond());
  // A coder without keys writes nothing and gives nothing back.
  rt::KeyedArchive unkeyed;
  ASSERT_EQ(rt::ArchiveObject(id.Get(), &unkeyed, false), rt::RuntimeErr::Ok);
  EXPECT_TRUE(unkeyed.strings.empty());
  ASSERT_EQ(rt::UnarchiveObject(archive, &copy, false), rt::RuntimeErr::Ok);
  EXPECT_FALSE(copy);
}
