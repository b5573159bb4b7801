#include "platform/runtime/MessageSend.h"

namespace hc::runtime {

RuntimeErr Send(Id receiver, Selector selector, std::span<const Value> arguments, Value* result) {
  Value ignored;
  Value& out = result ? *result : ignored;
  out = Value();
  if (!receiver || !receiver->isa) return RuntimeErr::NilReceiver;
  const Method* method = receiver->isa->FindMethod(selector);
  if (!method) return RuntimeErr::UnrecognizedSelector;
  const auto& expected = method->signature.arguments;
  if (arguments.size() != expected.size()) return RuntimeErr::ArgumentMismatch;
  for (size_t i = 0; i < expected.size(); ++i) {
    if (!ValueMatches(arguments[i], expected[i])) return RuntimeErr::ArgumentMismatch;
  }
  // The receiver stays alive while its method runs, whatever the method does
  // to its count.
  ObjectRef guard(receiver);
  const RuntimeErr err = method->imp(receiver, *method, arguments, out);
  if (RuntimeFailed(err)) return err;
  if (!ValueMatches(out, method->signature.result)) {
    out = Value();
    return RuntimeErr::ArgumentMismatch;
  }
  return RuntimeErr::Ok;
}

RuntimeErr Send(Id receiver, std::string_view selectorName, std::initializer_list<Value> arguments, Value* result) {
  return Send(receiver, RegisterSelector(selectorName), std::span<const Value>(arguments.begin(), arguments.size()),
              result);
}

bool RespondsTo(Id object, Selector selector) {
  return object && object->isa && object->isa->FindMethod(selector) != nullptr;
}

bool IsKindOf(Id object, const Class* cls) { return object && object->isa && object->isa->InheritsFrom(cls); }

}  // namespace hc::runtime
