#include "Utilities/KsPropertyType.h"

const char* KsPropertyType::SchemaTypeName(int32_t type) {
  switch (type) {
    case kFloat: return "float";
    case kInt: return "int";
    case kUInt: return "unsignedInt";
    case kString: return "string";
    case kBool: return "boolean";
    case kPointer: return "pointer";
    case kPoint: return "pointF";
    case kSize: return "sizeF";
    case kRect: return "rectF";
    case kColor: return "colorF";
    case kDouble: return "double";
    case kPropertyList: return "CFTypeRef";
    case kInt64: return "int64";
    default: return nullptr;
  }
}
