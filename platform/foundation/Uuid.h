#pragma once

#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace hc::foundation {

// A 16-byte universally unique identifier, or null (no UUID at all). Null is
// distinct from the nil UUID 00000000-0000-0000-0000-000000000000, which is a
// UUID like any other. Two null values compare equal.
class Uuid {
 public:
  using Bytes = std::array<uint8_t, 16>;
  // Characters of the text form, without the terminating NUL.
  static constexpr size_t kTextLength = 36;

  enum class LetterCase { Upper, Lower };

  Uuid() = default;
  explicit Uuid(const Bytes& bytes) : m_bytes(bytes), m_isSet(true) {}

  // A new random (version 4) UUID.
  static Uuid Generate();
  // The 8-4-4-4-12 hexadecimal form with hyphens, digits in either case;
  // anything else (other lengths, braces, stray characters) gives null.
  static Uuid Parse(std::string_view text);

  bool IsNull() const { return !m_isSet; }
  explicit operator bool() const { return m_isSet; }
  // All zeros for a null value.
  const Bytes& GetBytes() const { return m_bytes; }

  // The 36-character text form; empty for a null value.
  std::string ToString(LetterCase letterCase = LetterCase::Upper) const;
  // Writes the text form and a NUL (at most 37 bytes); a null value writes
  // the empty string.
  void ToCString(char (&buffer)[kTextLength + 1], LetterCase letterCase = LetterCase::Upper) const;

  friend bool operator==(const Uuid&, const Uuid&) = default;
  friend auto operator<=>(const Uuid&, const Uuid&) = default;

 private:
  Bytes m_bytes{};
  bool m_isSet = false;
};

}  // namespace hc::foundation
