#include "platform/runtime/TypeEncoding.h"

namespace hc::runtime {

namespace {

constexpr std::string_view kPointType = "{_NSPoint=ff}";
constexpr std::string_view kSizeType = "{_NSSize=ff}";
constexpr std::string_view kRectType = "{_NSRect={_NSPoint=ff}{_NSSize=ff}}";

// Reads one element at the front of the text and drops it; empty when the
// text does not start with a known element.
std::optional<EncodedType> TakeElement(std::string_view& text) {
  if (text.empty()) return std::nullopt;
  for (auto [form, encoding] : {std::pair{kRectType, Encoding::kRect}, std::pair{kPointType, Encoding::kPoint},
                                std::pair{kSizeType, Encoding::kSize}}) {
    if (text.starts_with(form)) {
      text.remove_prefix(form.size());
      return EncodedType{encoding, 'v'};
    }
  }
  const char code = text.front();
  text.remove_prefix(1);
  switch (code) {
    case 'v': return EncodedType{Encoding::kVoid};
    case '@': return EncodedType{Encoding::kObject};
    case '#': return EncodedType{Encoding::kClass};
    case ':': return EncodedType{Encoding::kSelector};
    case 'B': return EncodedType{Encoding::kBool};
    case 'i': return EncodedType{Encoding::kInt};
    case 'I': return EncodedType{Encoding::kUInt};
    case 'q': return EncodedType{Encoding::kInt64};
    case 'f': return EncodedType{Encoding::kFloat};
    case 'd': return EncodedType{Encoding::kDouble};
    case '^': {
      if (text.empty()) return std::nullopt;
      const char pointee = text.front();
      if (std::string_view("vfdiIqB@").find(pointee) == std::string_view::npos) return std::nullopt;
      text.remove_prefix(1);
      return EncodedType{Encoding::kPointer, pointee};
    }
    default: return std::nullopt;
  }
}

}  // namespace

std::optional<Signature> ParseTypeString(std::string_view types) {
  Signature signature;
  auto result = TakeElement(types);
  auto receiver = TakeElement(types);
  auto selector = TakeElement(types);
  if (!result || !receiver || !selector) return std::nullopt;
  if (receiver->encoding != Encoding::kObject && receiver->encoding != Encoding::kClass) return std::nullopt;
  if (selector->encoding != Encoding::kSelector) return std::nullopt;
  signature.result = *result;
  while (!types.empty()) {
    auto argument = TakeElement(types);
    if (!argument || argument->encoding == Encoding::kVoid) return std::nullopt;
    signature.arguments.push_back(*argument);
  }
  return signature;
}

bool ValueMatches(const Value& value, const EncodedType& type) {
  using T = Value::Type;
  switch (type.encoding) {
    case Encoding::kVoid: return value.IsVoid();
    // Every box stands for an object where one is expected (boxed numbers
    // and structures included); only "no value" does not.
    case Encoding::kObject:
    case Encoding::kClass: return !value.IsVoid();
    case Encoding::kSelector: return false;
    case Encoding::kBool: return value.GetType() == T::kBool;
    case Encoding::kInt: return value.GetType() == T::kInt;
    case Encoding::kUInt: return value.GetType() == T::kUInt;
    case Encoding::kInt64: return value.GetType() == T::kInt64;
    case Encoding::kFloat: return value.GetType() == T::kFloat;
    case Encoding::kDouble: return value.GetType() == T::kDouble;
    case Encoding::kPoint: return value.GetType() == T::kPoint;
    case Encoding::kSize: return value.GetType() == T::kSize;
    case Encoding::kRect: return value.GetType() == T::kRect;
    case Encoding::kPointer:
      return value.GetType() == T::kPointer &&
             (type.pointee == 'v' || value.GetPointer().pointee == type.pointee);
  }
  return false;
}

std::optional<Value> ConvertForType(const Value& value, const EncodedType& type) {
  if (ValueMatches(value, type)) return value;
  if (!value.IsNumber() && !value.IsNil()) return std::nullopt;
  switch (type.encoding) {
    case Encoding::kBool: return Value::Bool(value.BoolValue());
    case Encoding::kInt: return Value::Int(value.IntValue());
    case Encoding::kUInt: return Value::UInt(value.UnsignedIntValue());
    case Encoding::kInt64: return Value::Int64(value.LongLongValue());
    case Encoding::kFloat: return Value::Float(value.FloatValue());
    case Encoding::kDouble: return Value::Double(value.DoubleValue());
    default: return std::nullopt;
  }
}

}  // namespace hc::runtime
