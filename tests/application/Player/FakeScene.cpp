#include "FakeScene.h"

#include <algorithm>
#include <span>

#include "HcProxyCalls.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/MessageSend.h"

namespace rt = hc::runtime;

namespace {

using Args = std::span<const rt::Value>;

rt::Class* MakeFakeClass(const char* name, rt::MethodList methods) {
  rt::Class* cls = rt::LookUpClass(name);
  if (cls) return cls;
  rt::MakeClass(name, rt::RootClass(), &cls);
  cls->AddMethods(std::move(methods));
  return cls;
}

rt::Method M(const char* selector, const char* types, rt::Imp imp) {
  return rt::Method{rt::RegisterSelector(selector), types, imp, {}};
}

template <class T>
rt::ObjectRef MakeFake(rt::Class* cls) {
  return rt::ObjectRef::Adopt(new T(cls));
}

rt::RuntimeErr RecordMouse(rt::Id self, const rt::Method& method, Args arguments, rt::Value& result) {
  auto& helper = FakeViewHelper::From(self);
  const rt::Point point = arguments[0].GetPoint();
  helper.calls.push_back({rt::SelectorName(method.selector), 0, 0, point.x, point.y, 0});
  if (auto* cursor = static_cast<uint32_t*>(arguments[1].GetPointer().pointer)) *cursor = helper.cursorCode;
  result = rt::Value::Bool(true);
  return rt::RuntimeErr::Ok;
}

rt::RuntimeErr RecordScroll(rt::Id self, const rt::Method& method, Args arguments, rt::Value&) {
  const rt::Point point = arguments[1].GetPoint();
  FakeViewHelper::From(self).calls.push_back(
      {rt::SelectorName(method.selector), 0, 0, point.x, point.y, arguments[0].GetFloat()});
  return rt::RuntimeErr::Ok;
}

rt::RuntimeErr RecordKey(rt::Id self, const rt::Method& method, Args arguments, rt::Value& result) {
  auto& helper = FakeViewHelper::From(self);
  helper.calls.push_back({rt::SelectorName(method.selector), arguments[0].GetUInt(), arguments[1].GetUInt()});
  result = rt::Value::Bool(helper.handlesKeys);
  return rt::RuntimeErr::Ok;
}

rt::Class* ViewHelperClass() {
  return MakeFakeClass("PlayerTestViewHelper", {
      M("mouseDownAt:outCursor:", "B@:{_NSPoint=ff}^I", &RecordMouse),
      M("mouseMovedTo:outCursor:", "B@:{_NSPoint=ff}^I", &RecordMouse),
      M("mouseUpAt:outCursor:", "B@:{_NSPoint=ff}^I", &RecordMouse),
      M("mouseScrolledBy:at:", "v@:f{_NSPoint=ff}", &RecordScroll),
      M("keyDownCode:withModifiers:scanCode:", "B@:III", &RecordKey),
      M("keyUpCode:withModifiers:scanCode:", "B@:III", &RecordKey),
  });
}

rt::Class* ClockClass() {
  return MakeFakeClass("PlayerTestClock", {
      M("idleTimeout", "d@:",
        [](rt::Id self, const rt::Method&, Args, rt::Value& result) {
          result = rt::Value::Double(FakeClock::From(self).idleTimeout);
          return rt::RuntimeErr::Ok;
        }),
      M("setIdleTimeout:", "v@:d",
        [](rt::Id self, const rt::Method&, Args arguments, rt::Value&) {
          FakeClock::From(self).idleTimeout = arguments[0].GetDouble();
          return rt::RuntimeErr::Ok;
        }),
  });
}

rt::RuntimeErr ViewsetName(rt::Id self, const rt::Method&, Args, rt::Value& result);

rt::Class* ViewsetClass() {
  return MakeFakeClass("PlayerTestViewset", {M("name", "@@:", &ViewsetName)});
}

rt::RuntimeErr ContextObject(rt::Id self, const rt::Method& method, Args, rt::Value& result) {
  auto& context = FakeContext::From(self);
  const std::string name = rt::SelectorName(method.selector);
  const rt::ObjectRef& field = name == "viewHelper" ? context.viewHelper
                               : name == "mainView" ? context.mainView
                                                    : context.realtimeClock;
  result = rt::Value::Object(field);
  return rt::RuntimeErr::Ok;
}

rt::RuntimeErr ContextViewsets(rt::Id self, const rt::Method&, Args, rt::Value& result);

rt::Class* ContextClass() {
  return MakeFakeClass("PlayerTestContext", {
      M("viewHelper", "@@:", &ContextObject),
      M("mainView", "@@:", &ContextObject),
      M("realtimeClock", "@@:", &ContextObject),
      M("resetIdle", "i@:",
        [](rt::Id self, const rt::Method&, Args, rt::Value& result) {
          ++FakeContext::From(self).resetIdleCount;
          result = rt::Value::Int(0);
          return rt::RuntimeErr::Ok;
        }),
      M("arrayOfViewsets", "@@:", &ContextViewsets),
      M("viewsetName", "@@:",
        [](rt::Id self, const rt::Method&, Args, rt::Value& result) {
          result = rt::Value::String(FakeContext::From(self).viewsetName);
          return rt::RuntimeErr::Ok;
        }),
      M("setViewsetName:", "i@:@",
        [](rt::Id self, const rt::Method&, Args arguments, rt::Value& result) {
          auto& context = FakeContext::From(self);
          const std::string& name = arguments[0].GetString();
          const bool known = std::find(context.viewsets.begin(), context.viewsets.end(), name) != context.viewsets.end();
          if (known) context.viewsetName = name;
          result = rt::Value::Int(known ? 0 : -607);
          return rt::RuntimeErr::Ok;
        }),
  });
}

// Each viewset answers "name" through a viewset object holding its name.
class FakeViewset : public rt::NativeObject {
 public:
  using NativeObject::NativeObject;
  std::string name;
};

rt::RuntimeErr ViewsetName(rt::Id self, const rt::Method&, Args, rt::Value& result) {
  result = rt::Value::String(static_cast<FakeViewset*>(self)->name);
  return rt::RuntimeErr::Ok;
}

rt::RuntimeErr ContextViewsets(rt::Id self, const rt::Method&, Args, rt::Value& result) {
  rt::ValueArray viewsets;
  for (const std::string& name : FakeContext::From(self).viewsets) {
    rt::ObjectRef viewset = MakeFake<FakeViewset>(ViewsetClass());
    static_cast<FakeViewset*>(viewset.Get())->name = name;
    viewsets.push_back(rt::Value::Object(std::move(viewset)));
  }
  result = rt::Value::Array(std::move(viewsets));
  return rt::RuntimeErr::Ok;
}

rt::Class* PresentationClass() {
  return MakeFakeClass("PlayerTestPresentation", {
      M("hcContext", "@@:",
        [](rt::Id self, const rt::Method&, Args, rt::Value& result) {
          result = rt::Value::Object(FakePresentation::From(self).context);
          return rt::RuntimeErr::Ok;
        }),
      M("displaySize", "{_NSSize=ff}@:",
        [](rt::Id self, const rt::Method&, Args, rt::Value& result) {
          result = rt::Value::MakeSize(FakePresentation::From(self).displaySize);
          return rt::RuntimeErr::Ok;
        }),
      M("hideControls", "B@:",
        [](rt::Id self, const rt::Method&, Args, rt::Value& result) {
          result = rt::Value::Bool(FakePresentation::From(self).hideControls);
          return rt::RuntimeErr::Ok;
        }),
      M("openFullScreen", "B@:",
        [](rt::Id self, const rt::Method&, Args, rt::Value& result) {
          result = rt::Value::Bool(FakePresentation::From(self).openFullScreen);
          return rt::RuntimeErr::Ok;
        }),
  });
}

}  // namespace

rt::ObjectRef FakeViewHelper::Make() { return MakeFake<FakeViewHelper>(ViewHelperClass()); }
rt::ObjectRef FakeClock::Make() { return MakeFake<FakeClock>(ClockClass()); }
rt::ObjectRef FakeContext::Make() { return MakeFake<FakeContext>(ContextClass()); }
rt::ObjectRef FakePresentation::Make() { return MakeFake<FakePresentation>(PresentationClass()); }

FakeScene::FakeScene() : presentation(FakePresentation::Make()) {
  FakePresentation& thePresentation = Presentation();
  thePresentation.context = FakeContext::Make();
  FakeContext& context = Context();
  context.viewHelper = FakeViewHelper::Make();
  context.realtimeClock = FakeClock::Make();
  context.mainView = HcProxyCalls::NewProxy("C_PerspectiveViewOpenGL");
  HcProxyCalls::Call(context.mainView.Get(), "setVFOVMin:", {rt::Value::Float(1.0f)});
  HcProxyCalls::Call(context.mainView.Get(), "setVFOVMax:", {rt::Value::Float(170.0f)});
  HcProxyCalls::Call(context.mainView.Get(), "setVFOV:", {rt::Value::Float(60.0f)});
  context.viewsets = {"one", "two", "three"};
  context.viewsetName = "one";
}
