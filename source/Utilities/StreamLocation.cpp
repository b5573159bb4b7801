#include "Utilities/StreamLocation.h"

#include "PWFormat.h"

PWStringRef StreamLocation::CreateString() const {
  return PWStringCreateWithFormat("offset %llu in data stream", static_cast<unsigned long long>(m_offset));
}
