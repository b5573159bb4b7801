#pragma once

#include <string>
#include <string_view>

#include "platform/runtime/Object.h"
#include "platform/runtime/RuntimeErr.h"
#include "platform/runtime/Value.h"

namespace hc::runtime {

// The accessor names of a key: the getter is the key with its first letter
// lowered unless the second letter is upper case too ("PanAngle" gives
// "panAngle", "VFOV" stays "VFOV", "X" gives "x"); the setter is "set", the
// key with its first letter raised, and ":" ("setPanAngle:").
std::string GetterNameForKey(std::string_view key);
std::string SetterNameForKey(std::string_view key);

// Reads a key: sends the getter when the object has it, else
// "valueForUndefinedKey:" with the key.
RuntimeErr ValueForKey(Id object, std::string_view key, Value* value);
// Writes a key: sends the setter (a number converted to the type the setter
// takes) when the object has it, else "setValue:forUndefinedKey:". When the
// class answers YES to "automaticallyNotifiesObserversForKey:", observers of
// the key hear of the change.
RuntimeErr SetValueForKey(Id object, std::string_view key, const Value& value);

}  // namespace hc::runtime
