#include "platform/foundation/Uuid.h"

#include <uuid/uuid.h>

namespace hc::foundation {

Uuid Uuid::Generate() {
  Bytes bytes;
  uuid_generate_random(bytes.data());
  return Uuid(bytes);
}

Uuid Uuid::Parse(std::string_view text) {
  if (text.size() != kTextLength) return Uuid();
  Bytes bytes;
  if (uuid_parse_range(text.data(), text.data() + text.size(), bytes.data()) != 0) return Uuid();
  return Uuid(bytes);
}

std::string Uuid::ToString(LetterCase letterCase) const {
  char buffer[kTextLength + 1];
  ToCString(buffer, letterCase);
  return std::string(buffer);
}

void Uuid::ToCString(char (&buffer)[kTextLength + 1], LetterCase letterCase) const {
  if (!m_isSet) {
    buffer[0] = '\0';
    return;
  }
  if (letterCase == LetterCase::Upper) {
    uuid_unparse_upper(m_bytes.data(), buffer);
  } else {
    uuid_unparse_lower(m_bytes.data(), buffer);
  }
}

}  // namespace hc::foundation
