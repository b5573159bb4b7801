// A stand-in for the auto-update component, loaded as a bundle library: its
// principal class "StubUpdater" keeps the request text of every module
// registered with an instance and answers them as "registeredModules".
// Its symbols of the object run time come from the program that loads it.

#include <span>
#include <string>
#include <vector>

#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/MessageSend.h"
#include "platform/runtime/NativeObject.h"

namespace rt = hc::runtime;

namespace {

class StubUpdater : public rt::NativeObject {
 public:
  explicit StubUpdater(rt::Class* cls) : NativeObject(cls) {}
  std::vector<std::string> registered;
};

rt::RuntimeErr Alloc(rt::Id cls, const rt::Method&, std::span<const rt::Value>, rt::Value& result) {
  result = rt::Value::AdoptObject(new StubUpdater(static_cast<rt::Class*>(cls)));
  return rt::RuntimeErr::Ok;
}

rt::RuntimeErr ModuleName(rt::Id, const rt::Method&, std::span<const rt::Value>, rt::Value& result) {
  result = rt::Value::String("StubUpdater");
  return rt::RuntimeErr::Ok;
}

rt::RuntimeErr RegisterModule(rt::Id self, const rt::Method&, std::span<const rt::Value> arguments, rt::Value&) {
  rt::Value request;
  rt::Send(arguments[0].GetObject(), "moduleUpdateRequestDescription", {}, &request);
  static_cast<StubUpdater*>(self)->registered.push_back(request.GetString());
  return rt::RuntimeErr::Ok;
}

rt::RuntimeErr Registered(rt::Id self, const rt::Method&, std::span<const rt::Value>, rt::Value& result) {
  rt::ValueArray texts;
  for (const std::string& text : static_cast<StubUpdater*>(self)->registered) texts.push_back(rt::Value::String(text));
  result = rt::Value::Array(std::move(texts));
  return rt::RuntimeErr::Ok;
}

struct Registrar {
  Registrar() {
    rt::Class* cls = nullptr;
    if (rt::RuntimeFailed(rt::MakeClass("StubUpdater", rt::RootClass(), &cls))) return;
    cls->AddMethods({
        {rt::RegisterSelector("registerModule:"), "v@:@", &RegisterModule, {}},
        {rt::RegisterSelector("registeredModules"), "@@:", &Registered, {}},
    });
    cls->GetMetaclass()->AddMethods({
        {rt::RegisterSelector("alloc"), "@@:", &Alloc, {}},
        {rt::RegisterSelector("moduleName"), "@@:", &ModuleName, {}},
    });
  }
};

const Registrar registrar;

}  // namespace
