#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "platform/runtime/ObjectRef.h"

namespace hc::foundation {
class PlistValue;
}

namespace hc::runtime {

struct Point {
  float x = 0, y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};
struct Size {
  float width = 0, height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};
struct Rect {
  Point origin;
  Size size;
  friend bool operator==(const Rect&, const Rect&) = default;
};
struct Color {
  float red = 0, green = 0, blue = 0, alpha = 0;
  friend bool operator==(const Color&, const Color&) = default;
};

// What a key-value-observing notice says changed: the kind (1 setting,
// 2 insertion, 3 removal, 4 replacement) and the indices touched, if any.
struct KeyValueChange {
  uint32_t kind = 1;
  std::vector<uint32_t> indexes;
  friend bool operator==(const KeyValueChange&, const KeyValueChange&) = default;
};

// An untyped pointer argument; the pointee's type code ('v' for any, 'f'
// for float, '@' for an object slot …) is checked against "^x" encodings.
struct PointerValue {
  void* pointer = nullptr;
  char pointee = 'v';
  friend bool operator==(const PointerValue&, const PointerValue&) = default;
};

class Value;
using ValueArray = std::vector<Value>;
using PlistPtr = std::shared_ptr<const hc::foundation::PlistValue>;

// The tagged box every argument and result crosses the run time in. An
// object box owns one reference to its object; a nil object is an object box
// holding null. Boxes of the kinds that are objects elsewhere (strings,
// colours, property-list values, arrays, changes) and boxed numbers and
// structures all pass for "@"; scalar encodings take their own type only.
class Value {
  using Storage = std::variant<std::monostate, bool, int32_t, uint32_t, int64_t, float, double, Point, Size, Rect,
                               Color, ObjectRef, std::string, PlistPtr, PointerValue,
                               std::shared_ptr<const ValueArray>, std::shared_ptr<const KeyValueChange>>;

 public:
  enum class Type : uint8_t {
    kVoid,
    kBool,
    kInt,
    kUInt,
    kInt64,
    kFloat,
    kDouble,
    kPoint,
    kSize,
    kRect,
    kColor,
    kObject,
    kString,
    kPropertyList,
    kPointer,
    kArray,
    kChange,
  };

  Value() = default;
  static Value Bool(bool v) { return Value(Storage(std::in_place_index<1>, v)); }
  static Value Int(int32_t v) { return Value(Storage(std::in_place_index<2>, v)); }
  static Value UInt(uint32_t v) { return Value(Storage(std::in_place_index<3>, v)); }
  static Value Int64(int64_t v) { return Value(Storage(std::in_place_index<4>, v)); }
  static Value Float(float v) { return Value(Storage(std::in_place_index<5>, v)); }
  static Value Double(double v) { return Value(Storage(std::in_place_index<6>, v)); }
  static Value MakePoint(Point v) { return Value(Storage(std::in_place_index<7>, v)); }
  static Value MakeSize(Size v) { return Value(Storage(std::in_place_index<8>, v)); }
  static Value MakeRect(Rect v) { return Value(Storage(std::in_place_index<9>, v)); }
  static Value MakeColor(Color v) { return Value(Storage(std::in_place_index<10>, v)); }
  // Retains the object.
  static Value Object(Id object) { return Value(Storage(std::in_place_index<11>, ObjectRef(object))); }
  static Value Object(ObjectRef object) { return Value(Storage(std::in_place_index<11>, std::move(object))); }
  // Takes over a reference the caller owns.
  static Value AdoptObject(Id object) { return Object(ObjectRef::Adopt(object)); }
  static Value Nil() { return Object(ObjectRef()); }
  static Value String(std::string v) { return Value(Storage(std::in_place_index<12>, std::move(v))); }
  static Value PropertyList(PlistPtr v) { return Value(Storage(std::in_place_index<13>, std::move(v))); }
  static Value Pointer(void* pointer, char pointee = 'v') {
    return Value(Storage(std::in_place_index<14>, PointerValue{pointer, pointee}));
  }
  template <class T>
  static Value OutPointer(T* pointer);
  static Value Array(ValueArray v) {
    return Value(Storage(std::in_place_index<15>, std::make_shared<const ValueArray>(std::move(v))));
  }
  static Value Change(KeyValueChange v) {
    return Value(Storage(std::in_place_index<16>, std::make_shared<const KeyValueChange>(std::move(v))));
  }

  Type GetType() const { return static_cast<Type>(m_storage.index()); }
  bool IsVoid() const { return GetType() == Type::kVoid; }
  // A nil object box.
  bool IsNil() const { return GetType() == Type::kObject && !std::get<11>(m_storage); }
  // True for the kinds that travel as "@".
  bool IsObjectLike() const;
  bool IsNumber() const;

  // Typed reads: the stored value when the box holds that type, else zero,
  // nil or empty.
  bool GetBool() const { return Read<1>(); }
  int32_t GetInt() const { return Read<2>(); }
  uint32_t GetUInt() const { return Read<3>(); }
  int64_t GetInt64() const { return Read<4>(); }
  float GetFloat() const { return Read<5>(); }
  double GetDouble() const { return Read<6>(); }
  Point GetPoint() const { return Read<7>(); }
  Size GetSize() const { return Read<8>(); }
  Rect GetRect() const { return Read<9>(); }
  Color GetColor() const { return Read<10>(); }
  Id GetObject() const;
  ObjectRef GetObjectRef() const;
  const std::string& GetString() const;
  PlistPtr GetPropertyList() const { return Read<13>(); }
  PointerValue GetPointer() const { return Read<14>(); }
  const ValueArray& GetArray() const;
  const KeyValueChange& GetChange() const;

  // Number conversions of any numeric or bool box (0 for other kinds), as a
  // boxed number answers them.
  double NumberAsDouble() const;
  int64_t NumberAsInt64() const;
  float FloatValue() const { return static_cast<float>(NumberAsDouble()); }
  double DoubleValue() const { return NumberAsDouble(); }
  int32_t IntValue() const { return static_cast<int32_t>(NumberAsInt64()); }
  uint32_t UnsignedIntValue() const { return static_cast<uint32_t>(NumberAsInt64()); }
  int64_t LongLongValue() const { return NumberAsInt64(); }
  bool BoolValue() const { return NumberAsDouble() != 0; }

  // Same type and equal contents (objects by identity; arrays and changes
  // element by element).
  friend bool operator==(const Value& a, const Value& b);

 private:
  explicit Value(Storage storage) : m_storage(std::move(storage)) {}
  template <size_t N>
  std::variant_alternative_t<N, Storage> Read() const {
    using T = std::variant_alternative_t<N, Storage>;
    if (const T* v = std::get_if<N>(&m_storage)) return *v;
    return T{};
  }

  Storage m_storage;
};

template <class T>
struct PointeeCode {
  static constexpr char kCode = 'v';
};
template <>
struct PointeeCode<float> {
  static constexpr char kCode = 'f';
};
template <>
struct PointeeCode<double> {
  static constexpr char kCode = 'd';
};
template <>
struct PointeeCode<int32_t> {
  static constexpr char kCode = 'i';
};
template <>
struct PointeeCode<uint32_t> {
  static constexpr char kCode = 'I';
};
template <>
struct PointeeCode<int64_t> {
  static constexpr char kCode = 'q';
};
template <>
struct PointeeCode<bool> {
  static constexpr char kCode = 'B';
};
template <>
struct PointeeCode<Value> {
  static constexpr char kCode = '@';
};

template <class T>
Value Value::OutPointer(T* pointer) {
  return Pointer(static_cast<void*>(pointer), PointeeCode<T>::kCode);
}

}  // namespace hc::runtime
