#pragma once

#include <initializer_list>
#include <string_view>

#include "platform/runtime/ObjectRef.h"
#include "platform/runtime/Value.h"

// How the shell talks to model objects: through their proxy classes ("C_"
// and the class name) and selectors on the object run time. A message to nil
// does nothing and answers an empty box, as the shell expects of a missing
// object; a selector the receiver lacks is the same (and traced).
class HcProxyMessenger {
 public:
  // A new object of the proxy class named (e.g. "C_HcViewHelper"), owned by
  // the caller; empty when there is no such class or it makes nothing.
  static hc::runtime::ObjectRef NewProxy(std::string_view proxyClassName);

  static hc::runtime::Value Send(hc::runtime::Id receiver, std::string_view selector,
                                 std::initializer_list<hc::runtime::Value> arguments = {});
  // The answer as an object (retained), an integer or a flag; nil, 0 and
  // false when the receiver is nil or the answer has another kind.
  static hc::runtime::ObjectRef SendForObject(hc::runtime::Id receiver, std::string_view selector,
                                              std::initializer_list<hc::runtime::Value> arguments = {});
  static int SendForInt(hc::runtime::Id receiver, std::string_view selector,
                        std::initializer_list<hc::runtime::Value> arguments = {}, int whenNil = 0);
  static bool SendForBool(hc::runtime::Id receiver, std::string_view selector,
                          std::initializer_list<hc::runtime::Value> arguments = {});
  static bool RespondsTo(hc::runtime::Id receiver, std::string_view selector);
};
