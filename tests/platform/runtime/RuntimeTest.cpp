#include <gtest/gtest.h>

#include <thread>

#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/KeyValueCoding.h"
#include "platform/runtime/KeyValueObserving.h"
#include "platform/runtime/KeyedArchive.h"
#include "platform/runtime/MainThreadQueue.h"
#include "platform/runtime/MessageSend.h"
#include "platform/runtime/NativeObject.h"
#include "platform/runtime/WeakId.h"

namespace rt = hc::runtime;

namespace {

// A native class with one float key "Level" and a record of observations.
class Meter : public rt::NativeObject {
 public:
  explicit Meter(rt::Class* cls) : NativeObject(cls) {}
  float level = 0;
  std::vector<std::pair<std::string, rt::KeyValueChange>> seen;
};

rt::RuntimeErr LevelImp(rt::Id self, const rt::Method&, std::span<const rt::Value>, rt::Value& result) {
  result = rt::Value::Float(static_cast<Meter*>(self)->level);
  return rt::RuntimeErr::Ok;
}
rt::RuntimeErr SetLevelImp(rt::Id self, const rt::Method&, std::span<const rt::Value> args, rt::Value&) {
  static_cast<Meter*>(self)->level = args[0].GetFloat();
  return rt::RuntimeErr::Ok;
}
rt::RuntimeErr ObserveImp(rt::Id self, const rt::Method&, std::span<const rt::Value> args, rt::Value&) {
  static_cast<Meter*>(self)->seen.emplace_back(args[0].GetString(), args[2].GetChange());
  return rt::RuntimeErr::Ok;
}
rt::RuntimeErr AnswerImp(rt::Id, const rt::Method& m, std::span<const rt::Value>, rt::Value& result) {
  result = rt::Value::Int(rt::SelectorName(m.selector) == "answer" ? 1 : 2);
  return rt::RuntimeErr::Ok;
}

rt::Method M(const char* sel, const char* types, rt::Imp imp) { return {rt::RegisterSelector(sel), types, imp, {}}; }

rt::Class* MeterClass() {
  static rt::Class* cls = [] {
    rt::Class* made = nullptr;
    rt::MakeClass("TestMeter", rt::RootClass(), &made);
    made->AddMethods({M("level", "f@:", &LevelImp), M("setLevel:", "v@:f", &SetLevelImp),
                      M("observeValueForKeyPath:ofObject:change:context:", "v@:@@@^v", &ObserveImp),
                      M("answer", "i@:", &AnswerImp)});
    return made;
  }();
  return cls;
}

rt::ObjectRef NewMeter() { return rt::ObjectRef::Adopt(new Meter(MeterClass())); }

}  // namespace

TEST(RuntimeTest, SelectorsAreInternedAndClassesFoundByName) {
  EXPECT_EQ(rt::RegisterSelector("setLevel:"), rt::RegisterSelector(std::string("setLevel:")));
  EXPECT_EQ(rt::SelectorArity(rt::RegisterSelector("a:b:")), 2u);
  EXPECT_EQ(rt::LookUpClass("TestMeter"), MeterClass());
  EXPECT_EQ(rt::MakeClass("TestMeter", rt::RootClass(), nullptr), rt::RuntimeErr::ClassExists);
  EXPECT_TRUE(MeterClass()->InheritsFrom(rt::RootClass()));
  EXPECT_EQ(MeterClass()->GetMetaclass()->GetSuperclass(), rt::RootClass()->GetMetaclass());
}

TEST(RuntimeTest, ListAddedLastWinsAndSubclassesOverride) {
  rt::Class* sub = nullptr;
  ASSERT_EQ(rt::MakeClass("TestMeterSub", MeterClass(), &sub), rt::RuntimeErr::Ok);
  rt::ObjectRef meter = rt::ObjectRef::Adopt(new Meter(sub));
  rt::Value v;
  ASSERT_EQ(rt::Send(meter.Get(), "answer", {}, &v), rt::RuntimeErr::Ok);
  EXPECT_EQ(v.GetInt(), 1);
  auto other = [](rt::Id, const rt::Method&, std::span<const rt::Value>, rt::Value& r) {
    r = rt::Value::Int(3);
    return rt::RuntimeErr::Ok;
  };
  ASSERT_EQ(sub->AddMethods({M("answer", "i@:", other)}), rt::RuntimeErr::Ok);
  ASSERT_EQ(rt::Send(meter.Get(), "answer", {}, &v), rt::RuntimeErr::Ok);
  EXPECT_EQ(v.GetInt(), 3);
  rt::ObjectRef plain = NewMeter();
  ASSERT_EQ(rt::Send(plain.Get(), "answer", {}, &v), rt::RuntimeErr::Ok);
  EXPECT_EQ(v.GetInt(), 1);
}

TEST(RuntimeTest, TypeStringsAreCheckedWhenAddedAndWhenSent) {
  struct Case {
    const char* selector;
    const char* types;
    rt::RuntimeErr expected;
  } cases[] = {
      {"one:", "v@:f", rt::RuntimeErr::Ok},
      {"verifyClientCert", "B@:@", rt::RuntimeErr::BadTypeString},  // arity contradicts the selector
      {"two:", "v@:", rt::RuntimeErr::BadTypeString},
      {"three", "?@:", rt::RuntimeErr::BadTypeString},
      {"rect:", "v@:{_NSRect={_NSPoint=ff}{_NSSize=ff}}", rt::RuntimeErr::Ok},
      {"out:", "v@:^f", rt::RuntimeErr::Ok},
  };
  for (const Case& c : cases) {
    rt::Class* cls = nullptr;
    rt::MakeClass(std::string("TypeCheck_") + c.selector, rt::RootClass(), &cls);
    EXPECT_EQ(cls->AddMethods({M(c.selector, c.types, &ObserveImp)}), c.expected) << c.selector;
  }
  rt::ObjectRef meter = NewMeter();
  EXPECT_EQ(rt::Send(meter.Get(), "setLevel:", {rt::Value::Double(1.0)}), rt::RuntimeErr::ArgumentMismatch);
  EXPECT_EQ(rt::Send(meter.Get(), "setLevel:", {}), rt::RuntimeErr::ArgumentMismatch);
  EXPECT_EQ(rt::Send(meter.Get(), "nothing", {}), rt::RuntimeErr::UnrecognizedSelector);
  EXPECT_EQ(rt::Send(nullptr, "level", {}), rt::RuntimeErr::NilReceiver);
  EXPECT_FALSE(rt::RespondsTo(meter.Get(), rt::RegisterSelector("nothing")));
}

TEST(RuntimeTest, KeyValueCodingNamesAccessorsAndFallsBackToUndefinedKey) {
  EXPECT_EQ(rt::GetterNameForKey("PanAngle"), "panAngle");
  EXPECT_EQ(rt::GetterNameForKey("VFOV"), "VFOV");
  EXPECT_EQ(rt::GetterNameForKey("X"), "x");
  EXPECT_EQ(rt::SetterNameForKey("panAngle"), "setPanAngle:");
  EXPECT_EQ(rt::SetterNameForKey("VFOV"), "setVFOV:");
  rt::ObjectRef meter = NewMeter();
  ASSERT_EQ(rt::SetValueForKey(meter.Get(), "Level", rt::Value::Int(3)), rt::RuntimeErr::Ok);  // converted
  rt::Value v;
  ASSERT_EQ(rt::ValueForKey(meter.Get(), "level", &v), rt::RuntimeErr::Ok);
  EXPECT_EQ(v, rt::Value::Float(3));
  EXPECT_EQ(rt::ValueForKey(meter.Get(), "missing", &v), rt::RuntimeErr::UndefinedKey);
  EXPECT_EQ(rt::SetValueForKey(meter.Get(), "missing", rt::Value::Float(1)), rt::RuntimeErr::UndefinedKey);
}

TEST(RuntimeTest, PlainKeysAreObservedDottedPathsRefused) {
  rt::ObjectRef target = NewMeter();
  rt::ObjectRef observer = NewMeter();
  auto* seen = &static_cast<Meter*>(observer.Get())->seen;
  ASSERT_EQ(rt::Send(target.Get(), "addObserver:forKeyPath:options:context:",
                     {rt::Value::Object(observer), rt::Value::String("level"), rt::Value::UInt(0), rt::Value::Pointer(nullptr)}),
            rt::RuntimeErr::Ok);
  EXPECT_EQ(rt::AddKeyObserver(target.Get(), observer.Get(), "a.b", nullptr), rt::RuntimeErr::UnsupportedKeyPath);
  rt::SetValueForKey(target.Get(), "level", rt::Value::Float(2));
  ASSERT_EQ(seen->size(), 1u);
  EXPECT_EQ((*seen)[0].first, "level");
  EXPECT_EQ((*seen)[0].second.kind, 1u);
  rt::RemoveKeyObserver(target.Get(), observer.Get(), "level");
  rt::SetValueForKey(target.Get(), "level", rt::Value::Float(3));
  EXPECT_EQ(seen->size(), 1u);
}

TEST(RuntimeTest, WeakReferencesAndDestructionHooks) {
  static int hookRuns = 0;
  hookRuns = 0;
  rt::ObjectRef meter = NewMeter();
  rt::WeakId weak(meter.Get());
  EXPECT_EQ(weak.Load(), meter);
  int key = 0;
  ASSERT_TRUE(rt::AddDestructionHook(meter.Get(), &key, [](rt::Id) { ++hookRuns; }));
  ASSERT_TRUE(rt::AddDestructionHook(meter.Get(), &key, [](rt::Id) { ++hookRuns; }));
  meter = rt::ObjectRef();
  EXPECT_FALSE(weak.Load());
  EXPECT_EQ(hookRuns, 1);
}

TEST(RuntimeTest, MainThreadQueueRunsPostsFromOtherThreadsOnDrain) {
  rt::MainThreadQueue::MarkMainThread();
  int ran = 0;
  std::thread poster([&] { rt::MainThreadQueue::Post([&] { ++ran; }); EXPECT_EQ(rt::MainThreadQueue::Drain(), 0u); });
  poster.join();
  EXPECT_EQ(ran, 0);
  EXPECT_EQ(rt::MainThreadQueue::Drain(), 1u);
  EXPECT_EQ(ran, 1);
  rt::ObjectRef meter = NewMeter();
  rt::PerformOnMainThread(meter.Get(), rt::RegisterSelector("setLevel:"), rt::Value::Float(5));
  rt::MainThreadQueue::Drain();
  EXPECT_EQ(static_cast<Meter*>(meter.Get())->level, 5.0f);
}

TEST(RuntimeTest, KeyedCoderKeepsOneStringPerKey) {
  rt::ObjectRef coder = rt::ObjectRef::Adopt(rt::KeyedCoder::Make(true));
  ASSERT_EQ(rt::Send(coder.Get(), "encodeObject:forKey:", {rt::Value::String("<x/>"), rt::Value::String("hcml")}),
            rt::RuntimeErr::Ok);
  rt::Value text;
  ASSERT_EQ(rt::Send(coder.Get(), "decodeObjectForKey:", {rt::Value::String("hcml")}, &text), rt::RuntimeErr::Ok);
  EXPECT_EQ(text.GetString(), "<x/>");
  rt::ObjectRef unkeyed = rt::ObjectRef::Adopt(rt::KeyedCoder::Make(false));
  rt::Value keyed;
  rt::Send(unkeyed.Get(), "allowsKeyedCoding", {}, &keyed);
  EXPECT_FALSE(keyed.GetBool());
  EXPECT_EQ(rt::UnarchiveObject(rt::KeyedArchive{"NoSuchClass", {}}, nullptr), rt::RuntimeErr::NoSuchClass);
}
