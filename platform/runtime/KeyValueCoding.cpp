#include "platform/runtime/KeyValueCoding.h"

#include "platform/runtime/KeyValueObserving.h"
#include "platform/runtime/MessageSend.h"

namespace hc::runtime {

namespace {

bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsLower(char c) { return c >= 'a' && c <= 'z'; }

bool NotifiesAutomatically(Id object, std::string_view key) {
  Value answer;
  const Value arguments[] = {Value::String(std::string(key))};
  if (RuntimeFailed(Send(ClassAsId(ClassOf(object)), RegisterSelector("automaticallyNotifiesObserversForKey:"),
                         arguments, &answer))) {
    return false;
  }
  return answer.GetBool();
}

}  // namespace

std::string GetterNameForKey(std::string_view key) {
  std::string name(key);
  if (!name.empty() && IsUpper(name[0]) && !(name.size() > 1 && IsUpper(name[1]))) name[0] += 'a' - 'A';
  return name;
}

std::string SetterNameForKey(std::string_view key) {
  std::string name = "set";
  name += key;
  if (name.size() > 3 && IsLower(name[3])) name[3] -= 'a' - 'A';
  name += ':';
  return name;
}

RuntimeErr ValueForKey(Id object, std::string_view key, Value* value) {
  if (!object) return RuntimeErr::NilReceiver;
  const Selector getter = RegisterSelector(GetterNameForKey(key));
  const Method* method = ClassOf(object)->FindMethod(getter);
  if (method && method->signature.arguments.empty()) return Send(object, getter, {}, value);
  const Value arguments[] = {Value::String(std::string(key))};
  return Send(object, RegisterSelector("valueForUndefinedKey:"), arguments, value);
}

RuntimeErr SetValueForKey(Id object, std::string_view key, const Value& value) {
  if (!object) return RuntimeErr::NilReceiver;
  const Selector setter = RegisterSelector(SetterNameForKey(key));
  const Method* method = ClassOf(object)->FindMethod(setter);
  if (!method || method->signature.arguments.size() != 1) {
    const Value arguments[] = {value, Value::String(std::string(key))};
    return Send(object, RegisterSelector("setValue:forUndefinedKey:"), arguments, nullptr);
  }
  auto converted = ConvertForType(value, method->signature.arguments[0]);
  if (!converted) return RuntimeErr::ArgumentMismatch;
  const Value arguments[] = {*converted};
  const RuntimeErr err = Send(object, setter, arguments, nullptr);
  if (!RuntimeFailed(err) && NotifiesAutomatically(object, key)) {
    NotifyKeyObservers(object, std::string(key), KeyValueChange{});
  }
  return err;
}

}  // namespace hc::runtime
