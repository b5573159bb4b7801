#pragma once

#include <cstddef>

#include "platform/foundation/Uuid.h"

// The UUID operations that object identity rests on: every KsObject's UUID,
// lookup of collection elements by UUID and selection by UUID in object paths.

// Bytes a buffer for UUIDToCString needs: 36 characters and the NUL.
constexpr size_t kUUIDCStringSize = hc::foundation::Uuid::kTextLength + 1;

// A new random UUID.
hc::foundation::Uuid CreateUUID();

// The UUID written in text (8-4-4-4-12 hexadecimal digits with hyphens, in
// either case); a null UUID when the text is null or is no UUID.
hc::foundation::Uuid CreateUUIDFromCString(const char* text);

// Writes the 36-character upper-case form and a NUL into a buffer of at least
// kUUIDCStringSize bytes, never more; a null UUID writes the empty string.
void UUIDToCString(const hc::foundation::Uuid& uuid, char* buffer);

// False when either UUID is null, else whether both are the same UUID.
bool SafeCFEqual(const hc::foundation::Uuid& a, const hc::foundation::Uuid& b);
