#pragma once

#include <cstddef>

#include "KsAppErr.h"
#include "PWString.h"
#include "platform/foundation/ByteHandle.h"

// Base64 text of raw bytes (standard alphabet, "=" padding), as the movie
// digest, signatures, KsData and inline image data keep their bytes.

// The bytes as Base64 in lines of 64 characters joined by single line feeds,
// without white space at either end (so 48 bytes give one line of 64). No
// bytes give the empty string; a null pointer with a non-zero length, or a
// failure of the crypto library, gives a null string (traced).
PWStringRef Base64EncodeBytes(const void* bytes, size_t length);

// The handle's bytes encoded as above; a null string for a null or empty handle.
PWStringRef Base64EncodeHandle(const hc::foundation::ByteHandle* handle);

// Decodes Base64 text on one line or broken into lines of any length (line
// feeds, carriage returns, spaces and tabs are skipped anywhere), with or
// without a final line break, into *outHandle, which then holds exactly the
// decoded bytes; white space alone decodes to no bytes. Failures leave
// *outHandle unchanged and are traced: -2 for a null text or handle, -900 for
// text that is not Base64 (a character outside the alphabet, a length that is
// not a whole number of four-character groups, characters after the padding),
// -101 when memory runs out.
eAppErr Base64DecodeToHandle(const PWStringRef& text, hc::foundation::ByteHandle* outHandle);
