#pragma once

#include <cstdint>

// The value type of a property.
namespace KsPropertyType {
enum PropertyType : int32_t {
  kNone = -1,
  kFloat = 1,
  kInt = 2,
  kUInt = 3,
  kString = 4,
  kObject = 5,
  kBool = 6,
  kPointer = 7,
  kPoint = 8,
  kSize = 9,
  kRect = 10,
  kColor = 11,
  kDouble = 12,
  kPropertyList = 13,
  kInt64 = 14,
};

// Object-valued properties (collections of objects included) are the only
// object type.
inline bool IsObjectType(int32_t type) { return type == kObject; }
inline bool IsKnownType(int32_t type) { return type >= kFloat && type <= kInt64; }
// The schema name of a value type ("float", "int", …); null for the object
// type and unknown codes, whose name comes from the type class.
const char* SchemaTypeName(int32_t type);
}  // namespace KsPropertyType
