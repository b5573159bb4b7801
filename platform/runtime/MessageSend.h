#pragma once

#include <initializer_list>
#include <span>
#include <string_view>

#include "platform/runtime/Class.h"
#include "platform/runtime/Object.h"
#include "platform/runtime/RuntimeErr.h"
#include "platform/runtime/Selector.h"
#include "platform/runtime/Value.h"

namespace hc::runtime {

// The class of an object (for a class: its metaclass); null for null.
inline Class* ClassOf(Id object) { return object ? object->isa : nullptr; }
// A class seen as an object, to send it class methods.
inline Id ClassAsId(Class* cls) { return cls; }

// Sends a message: finds the method of the receiver's class, checks every
// argument box against the method's type string, runs it and checks the
// result box. The result is optional. Errors: NilReceiver,
// UnrecognizedSelector, ArgumentMismatch, or the method's own.
RuntimeErr Send(Id receiver, Selector selector, std::span<const Value> arguments, Value* result);
RuntimeErr Send(Id receiver, std::string_view selectorName, std::initializer_list<Value> arguments,
                Value* result = nullptr);

bool RespondsTo(Id object, Selector selector);
// The object's class is the class or derives from it.
bool IsKindOf(Id object, const Class* cls);

}  // namespace hc::runtime
