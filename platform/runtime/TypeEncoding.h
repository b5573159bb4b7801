#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/Value.h"

namespace hc::runtime {

// One element of a type string.
enum class Encoding : uint8_t {
  kVoid,     // v
  kObject,   // @ (objects and the boxes that stand for objects)
  kClass,    // #
  kSelector, // :
  kBool,     // B
  kInt,      // i
  kUInt,     // I
  kInt64,    // q
  kFloat,    // f
  kDouble,   // d
  kPoint,    // {_NSPoint=ff}
  kSize,     // {_NSSize=ff}
  kRect,     // {_NSRect={_NSPoint=ff}{_NSSize=ff}}
  kPointer,  // ^x, x the pointee's code
};

struct EncodedType {
  Encoding encoding = Encoding::kVoid;
  char pointee = 'v';
  friend bool operator==(const EncodedType&, const EncodedType&) = default;
};

// A parsed type string: result, then the receiver ("@" or "#"), the selector
// (":") and the arguments.
struct Signature {
  EncodedType result;
  std::vector<EncodedType> arguments;  // without receiver and selector
};

// Empty for a type string that can't be read or that lacks the receiver and
// selector.
std::optional<Signature> ParseTypeString(std::string_view types);

// Whether a box may travel where the type says. Numbers are not converted.
bool ValueMatches(const Value& value, const EncodedType& type);
// Key-value coding's conversion of a box into the type a setter takes
// (numbers between each other, nil to zero); empty when none exists.
std::optional<Value> ConvertForType(const Value& value, const EncodedType& type);

}  // namespace hc::runtime
