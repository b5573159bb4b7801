#pragma once

#include <string_view>

#include "platform/runtime/Class.h"
#include "platform/runtime/RuntimeErr.h"

namespace hc::runtime {

// The process-wide table of classes by name (letter case counts).

// Null when no class has the name.
Class* LookUpClass(std::string_view name);
// Makes a class and its metaclass under the name, derived from the
// superclass (null makes a root class). ClassExists when the name is taken.
RuntimeErr MakeClass(std::string_view name, Class* superclass, Class** made);
// Takes a class made by MakeClass out of the table and frees it and its
// metaclass. Objects of the class must be gone.
void DisposeClass(Class* cls);

}  // namespace hc::runtime
