// A plug-in of our own that takes part in automatic updates, loaded by the
// suite from a bundle. "TestUpdatingPrincipal" is an updating principal that
// registers no plug-in class and counts its registrations
// ("registrations"); "TestUpdatingLoner" is an updating principal that does
// not take part in registration. Both give the module name
// "TestUpdatingPlugIn". Its symbols of the object run time come from the
// program that loads it.

#include <span>

#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/MessageSend.h"
#include "platform/runtime/NativeObject.h"
#include "platform/runtime/Protocol.h"

namespace rt = hc::runtime;

namespace {

int g_registrations = 0;

rt::RuntimeErr ModuleName(rt::Id, const rt::Method&, std::span<const rt::Value>, rt::Value& result) {
  result = rt::Value::String("TestUpdatingPlugIn");
  return rt::RuntimeErr::Ok;
}

rt::RuntimeErr RegisterPlugIns(rt::Id, const rt::Method&, std::span<const rt::Value>, rt::Value&) {
  ++g_registrations;
  return rt::RuntimeErr::Ok;
}

rt::RuntimeErr Registrations(rt::Id, const rt::Method&, std::span<const rt::Value>, rt::Value& result) {
  result = rt::Value::Int(g_registrations);
  return rt::RuntimeErr::Ok;
}

rt::Class* MakePrincipal(const char* name) {
  rt::Class* cls = nullptr;
  if (rt::RuntimeFailed(rt::MakeClass(name, rt::RootClass(), &cls))) return nullptr;
  cls->GetMetaclass()->AddMethods({{rt::RegisterSelector("moduleName"), "@@:", &ModuleName, {}}});
  rt::AddProtocol(cls, rt::LookUpProtocol("KsAutoUpdatingPlugIn"));
  return cls;
}

struct Registrar {
  Registrar() {
    rt::Class* principal = MakePrincipal("TestUpdatingPrincipal");
    if (!principal) return;
    principal->GetMetaclass()->AddMethods({
        {rt::RegisterSelector("registerPlugInsWithController:"), "v@:@", &RegisterPlugIns, {}},
        {rt::RegisterSelector("registrations"), "i@:", &Registrations, {}},
    });
    rt::AddProtocol(principal, rt::LookUpProtocol("KsPlugInPrincipal"));
    MakePrincipal("TestUpdatingLoner");
  }
};

const Registrar registrar;

}  // namespace
