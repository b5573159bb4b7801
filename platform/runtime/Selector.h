#pragma once

#include <string>
#include <string_view>

namespace hc::runtime {

// A method name interned once for the process: equal names give the same
// selector, so selectors compare and hash by address.
using Selector = const std::string*;

// The selector of a name (made on first request; any length; thread-safe).
Selector RegisterSelector(std::string_view name);
// The name of a selector; "" for null.
const std::string& SelectorName(Selector selector);
// The number of arguments the name declares: one per ':'.
size_t SelectorArity(Selector selector);

}  // namespace hc::runtime
