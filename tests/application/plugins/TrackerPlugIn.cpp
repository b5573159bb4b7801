// An input-device plug-in of our own, loaded by the suite from a bundle.
// Its principal "TestTrackerPrincipal" registers for the input-device API:
// "TestTrackerPlugIn" (offers the device "TestTracker"), "TestSpareTrackerPlugIn"
// (a second instance with a device of its own), "TestShyPlugIn" (refuses
// every host), and two registrations the controller must ignore: a class that
// is no plug-in, and an API that is no plug-in API. Each plug-in class counts
// its instances and closes ("instancesMade", "instancesClosed").
// Its symbols of the object run time come from the program that loads it.

#include <span>

#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/MessageSend.h"
#include "platform/runtime/NativeObject.h"
#include "platform/runtime/Protocol.h"

namespace rt = hc::runtime;

namespace {

int g_made = 0;
int g_closed = 0;

class TrackerPlugIn : public rt::NativeObject {
 public:
  explicit TrackerPlugIn(rt::Class* cls) : NativeObject(cls) {}
  rt::ObjectRef device;
};

rt::RuntimeErr Alloc(rt::Id cls, const rt::Method&, std::span<const rt::Value>, rt::Value& result) {
  result = rt::Value::AdoptObject(new TrackerPlugIn(static_cast<rt::Class*>(cls)));
  return rt::RuntimeErr::Ok;
}

rt::RuntimeErr InitWithHost(rt::Id self, const rt::Method&, std::span<const rt::Value>, rt::Value& result) {
  static_cast<TrackerPlugIn*>(self)->device =
      rt::ObjectRef::Adopt(rt::AllocNative(rt::LookUpClass("TestTracker")));
  ++g_made;
  result = rt::Value::AdoptObject(self);
  return rt::RuntimeErr::Ok;
}

rt::RuntimeErr InputDevice(rt::Id self, const rt::Method&, std::span<const rt::Value>, rt::Value& result) {
  result = rt::Value::Object(static_cast<TrackerPlugIn*>(self)->device);
  return rt::RuntimeErr::Ok;
}

rt::RuntimeErr Close(rt::Id, const rt::Method&, std::span<const rt::Value>, rt::Value&) {
  ++g_closed;
  return rt::RuntimeErr::Ok;
}

rt::RuntimeErr Yes(rt::Id, const rt::Method&, std::span<const rt::Value>, rt::Value& result) {
  result = rt::Value::Bool(true);
  return rt::RuntimeErr::Ok;
}

rt::RuntimeErr No(rt::Id, const rt::Method&, std::span<const rt::Value>, rt::Value& result) {
  result = rt::Value::Bool(false);
  return rt::RuntimeErr::Ok;
}

rt::RuntimeErr Made(rt::Id, const rt::Method&, std::span<const rt::Value>, rt::Value& result) {
  result = rt::Value::Int(g_made);
  return rt::RuntimeErr::Ok;
}

rt::RuntimeErr Closed(rt::Id, const rt::Method&, std::span<const rt::Value>, rt::Value& result) {
  result = rt::Value::Int(g_closed);
  return rt::RuntimeErr::Ok;
}

void Register(rt::Id controller, const char* className, rt::Protocol* api) {
  rt::Send(controller, "registerPlugInClass:forAPI:",
           {rt::Value::Object(rt::ClassAsId(rt::LookUpClass(className))), rt::Value::Object(api)});
}

rt::RuntimeErr RegisterPlugIns(rt::Id, const rt::Method&, std::span<const rt::Value> arguments, rt::Value&) {
  rt::Id controller = arguments[0].GetObject();
  rt::Protocol* api = rt::LookUpProtocol("HcInputDevicePlugInAPI");
  Register(controller, "TestTrackerPlugIn", api);
  Register(controller, "TestShyPlugIn", api);
  Register(controller, "TestSpareTrackerPlugIn", api);
  Register(controller, "TestTracker", api);
  Register(controller, "TestTrackerPlugIn", rt::ObtainProtocol("TestNoPlugInAPI"));
  return rt::RuntimeErr::Ok;
}

rt::Class* MakePlugInClass(const char* name, rt::Imp shouldInstantiate) {
  rt::Class* cls = nullptr;
  if (rt::RuntimeFailed(rt::MakeClass(name, rt::RootClass(), &cls))) return nullptr;
  cls->AddMethods({
      {rt::RegisterSelector("initWithPlugInAPIHost:"), "@@:@", &InitWithHost, {}},
      {rt::RegisterSelector("inputDevice"), "@@:", &InputDevice, {}},
      {rt::RegisterSelector("close"), "v@:", &Close, {}},
  });
  cls->GetMetaclass()->AddMethods({
      {rt::RegisterSelector("alloc"), "@@:", &Alloc, {}},
      {rt::RegisterSelector("shouldInstantiateForAPIHost:"), "B@:@", shouldInstantiate, {}},
      {rt::RegisterSelector("instancesMade"), "i@:", &Made, {}},
      {rt::RegisterSelector("instancesClosed"), "i@:", &Closed, {}},
  });
  rt::AddProtocol(cls, rt::LookUpProtocol("HcInputDevicePlugIn"));
  return cls;
}

struct Registrar {
  Registrar() {
    rt::Class* device = nullptr;
    if (rt::RuntimeFailed(rt::MakeClass("TestTracker", rt::RootClass(), &device))) return;
    MakePlugInClass("TestTrackerPlugIn", &Yes);
    MakePlugInClass("TestSpareTrackerPlugIn", &Yes);
    MakePlugInClass("TestShyPlugIn", &No);
    rt::Class* principal = nullptr;
    rt::MakeClass("TestTrackerPrincipal", rt::RootClass(), &principal);
    principal->GetMetaclass()->AddMethods(
        {{rt::RegisterSelector("registerPlugInsWithController:"), "v@:@", &RegisterPlugIns, {}}});
    rt::AddProtocol(principal, rt::LookUpProtocol("KsPlugInPrincipal"));
  }
};

const Registrar registrar;

}  // namespace
