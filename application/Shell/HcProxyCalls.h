#pragma once

#include <initializer_list>
#include <string_view>

#include "platform/runtime/MessageSend.h"
#include "platform/runtime/ObjectRef.h"
#include "platform/runtime/Value.h"

// Short forms of the messages the shell sends to model proxies. A message to
// nil, or one the receiver does not take, answers an empty box (0, NO, nil),
// as a message to nil does, so callers read results without checking the
// send; where the outcome matters they look at CallChecked's status.
namespace HcProxyCalls {

// "new" on the proxy class of that name; nil when the class is unknown.
hc::runtime::ObjectRef NewProxy(std::string_view proxyClassName);
bool ProxyClassExists(std::string_view proxyClassName);

hc::runtime::Value Call(hc::runtime::Id receiver, std::string_view selector,
                        std::initializer_list<hc::runtime::Value> arguments = {});
hc::runtime::RuntimeErr CallChecked(hc::runtime::Id receiver, std::string_view selector,
                                    std::initializer_list<hc::runtime::Value> arguments,
                                    hc::runtime::Value* result = nullptr);

hc::runtime::ObjectRef SendForObject(hc::runtime::Id receiver, std::string_view selector,
                                     std::initializer_list<hc::runtime::Value> arguments = {});
// Numeric results of any number box; 0 for none.
int SendForInt(hc::runtime::Id receiver, std::string_view selector,
               std::initializer_list<hc::runtime::Value> arguments = {});
float SendForFloat(hc::runtime::Id receiver, std::string_view selector,
                   std::initializer_list<hc::runtime::Value> arguments = {});
bool SendForBool(hc::runtime::Id receiver, std::string_view selector,
                 std::initializer_list<hc::runtime::Value> arguments = {});

// The object is of the proxy class of that name or one derived from it.
bool IsKindOfProxyClass(hc::runtime::Id object, std::string_view proxyClassName);

}  // namespace HcProxyCalls
