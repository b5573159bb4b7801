#include "HcProxyMessenger.h"

#include <string>

#include "KsTrace.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/MessageSend.h"

namespace rt = hc::runtime;

rt::ObjectRef HcProxyMessenger::NewProxy(std::string_view proxyClassName) {
  rt::Class* cls = rt::LookUpClass(proxyClassName);
  if (!cls) {
    KS_TRACE(KsTrace::kError, "No proxy class %s", std::string(proxyClassName).c_str());
    return {};
  }
  rt::Value made;
  if (rt::Send(rt::ClassAsId(cls), "new", {}, &made) != rt::RuntimeErr::Ok) return {};
  // "new" hands the caller one reference inside the box: keep exactly that one.
  return made.GetObjectRef();
}

rt::Value HcProxyMessenger::Send(rt::Id receiver, std::string_view selector,
                                 std::initializer_list<rt::Value> arguments) {
  rt::Value result;
  if (!receiver) return result;
  const rt::RuntimeErr err = rt::Send(receiver, selector, arguments, &result);
  if (err != rt::RuntimeErr::Ok) {
    KS_TRACE(KsTrace::kWarning, "Message %s failed: %d", std::string(selector).c_str(), static_cast<int>(err));
    return {};
  }
  return result;
}

rt::ObjectRef HcProxyMessenger::SendForObject(rt::Id receiver, std::string_view selector,
                                              std::initializer_list<rt::Value> arguments) {
  return Send(receiver, selector, arguments).GetObjectRef();
}

int HcProxyMessenger::SendForInt(rt::Id receiver, std::string_view selector,
                                 std::initializer_list<rt::Value> arguments, int whenNil) {
  if (!receiver) return whenNil;
  const rt::Value answer = Send(receiver, selector, arguments);
  return answer.IsNumber() ? answer.IntValue() : whenNil;
}

bool HcProxyMessenger::SendForBool(rt::Id receiver, std::string_view selector,
                                   std::initializer_list<rt::Value> arguments) {
  const rt::Value answer = Send(receiver, selector, arguments);
  return answer.IsNumber() && answer.BoolValue();
}

bool HcProxyMessenger::RespondsTo(rt::Id receiver, std::string_view selector) {
  return receiver && rt::RespondsTo(receiver, rt::RegisterSelector(selector));
}
