#include "InterfaceCocoa/NSObjectProxy.h"

#include "General/CocoaBridge.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "platform/runtime/MessageSend.h"

namespace rt = hc::runtime;

HC_DEFINE_CLASS(NSObjectProxy, KsObject, "NSObjectProxy")

namespace {

rt::RuntimeErr RemoveAllProxiesImp(rt::Id, const rt::Method&, std::span<const rt::Value> arguments, rt::Value&) {
  NSObjectProxy::RemoveAllProxiesForNSObject(arguments[0].GetPointer().pointer);
  return rt::RuntimeErr::Ok;
}

rt::RuntimeErr RemoveProxyImp(rt::Id, const rt::Method&, std::span<const rt::Value> arguments, rt::Value&) {
  // Nil, or an object that is no proxy, has nothing to remove.
  NSObjectProxy::RemoveFromProxyMap(KsObjectFromCocoa(arguments[0].GetObject()).DynamicCast<NSObjectProxy>());
  return rt::RuntimeErr::Ok;
}

}  // namespace

void NSObjectProxy::NSObjectProxyClass::SetupProperties() {
  using namespace KsPropertyType;
  using P = NSObjectProxy;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<P, void*>::Create(self, kObjectId, kPointer, "Object", false, &P::GetObject,
                                                    &P::SetObject));
  AddProperty(HcPropertyDirectGet<P, void*>::Create(self, kContextId, kPointer, "Context", false, &P::GetContext,
                                                    &P::SetContext));
  AddProperty(HcPropertyDirectGet<P, PWStringRef>::Create(self, kKeyPathId, kString, "KeyPath", false,
                                                          &P::GetKeyPath, &P::SetKeyPath));
  AddObjCClassMethods({
      rt::Method{rt::RegisterSelector("removeAllProxiesForNSObject:"), "v@:^v", &RemoveAllProxiesImp, {}},
      rt::Method{rt::RegisterSelector("removeProxyproxy:"), "v@:@", &RemoveProxyImp, {}},
  });
}
