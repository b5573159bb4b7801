#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "KsAppErr.h"

namespace hc::foundation {
class ByteHandle;
}
namespace hc::movfile {
class MovUserData;
}

// A signed movie's signature: the bytes of the atom container of its
// signature record, stored as the movie's one 'Hcsg' item, uncompressed and
// without a description item. Results are eAppErr values.

// Stores the container's bytes as the one 'Hcsg' item of the user data. The
// new item goes in before the old ones are removed, so a failure leaves the
// user data as it was.
eAppErr WriteSignatureUserDataItem(std::span<const uint8_t> container, hc::movfile::MovUserData& userData);

// The bytes of the first 'Hcsg' item in a new handle; -2026 and no handle
// when there is none.
eAppErr ReadSignatureUserDataItem(const hc::movfile::MovUserData& userData,
                                  std::unique_ptr<hc::foundation::ByteHandle>* outHandle);
