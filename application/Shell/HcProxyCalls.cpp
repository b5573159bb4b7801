#include "HcProxyCalls.h"

#include <string>

#include "platform/runtime/ClassRegistry.h"

namespace rt = hc::runtime;

namespace HcProxyCalls {

rt::ObjectRef NewProxy(std::string_view proxyClassName) {
  rt::Class* cls = rt::LookUpClass(proxyClassName);
  if (!cls) return {};
  rt::Value made;
  if (rt::RuntimeFailed(rt::Send(rt::ClassAsId(cls), "new", {}, &made))) return {};
  return made.GetObjectRef();
}

bool ProxyClassExists(std::string_view proxyClassName) { return rt::LookUpClass(proxyClassName) != nullptr; }

rt::RuntimeErr CallChecked(rt::Id receiver, std::string_view selector, std::initializer_list<rt::Value> arguments,
                           rt::Value* result) {
  if (!receiver) return rt::RuntimeErr::NilReceiver;
  return rt::Send(receiver, selector, arguments, result);
}

rt::Value Call(rt::Id receiver, std::string_view selector, std::initializer_list<rt::Value> arguments) {
  rt::Value result;
  if (rt::RuntimeFailed(CallChecked(receiver, selector, arguments, &result))) return {};
  return result;
}

rt::ObjectRef SendForObject(rt::Id receiver, std::string_view selector, std::initializer_list<rt::Value> arguments) {
  const rt::Value result = Call(receiver, selector, arguments);
  if (result.GetType() != rt::Value::Type::kObject) return {};
  return result.GetObjectRef();
}

int SendForInt(rt::Id receiver, std::string_view selector, std::initializer_list<rt::Value> arguments) {
  return Call(receiver, selector, arguments).IntValue();
}

float SendForFloat(rt::Id receiver, std::string_view selector, std::initializer_list<rt::Value> arguments) {
  return Call(receiver, selector, arguments).FloatValue();
}

bool SendForBool(rt::Id receiver, std::string_view selector, std::initializer_list<rt::Value> arguments) {
  return Call(receiver, selector, arguments).BoolValue();
}

bool IsKindOfProxyClass(rt::Id object, std::string_view proxyClassName) {
  const rt::Class* cls = rt::LookUpClass(proxyClassName);
  return object && cls && rt::IsKindOf(object, cls);
}

}  // namespace HcProxyCalls
