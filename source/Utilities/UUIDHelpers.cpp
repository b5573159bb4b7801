#include "Utilities/UUIDHelpers.h"

#include <cstring>

using hc::foundation::Uuid;

Uuid CreateUUID() { return Uuid::Generate(); }

Uuid CreateUUIDFromCString(const char* text) {
  if (!text) return Uuid();
  // No UUID text is longer than kTextLength; reading one more character
  // tells a longer text apart without scanning all of it.
  return Uuid::Parse(std::string_view(text, strnlen(text, Uuid::kTextLength + 1)));
}

void UUIDToCString(const Uuid& uuid, char* buffer) {
  if (!buffer) return;
  char text[kUUIDCStringSize];
  uuid.ToCString(text);
  std::memcpy(buffer, text, std::strlen(text) + 1);
}

bool SafeCFEqual(const Uuid& a, const Uuid& b) { return !a.IsNull() && !b.IsNull() && a == b; }
