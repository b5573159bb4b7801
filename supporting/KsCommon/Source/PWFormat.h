#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "PWString.h"

// One argument of a printf-style format. "%@" takes a string (PWStringRef,
// std::string, C string); "%s" a C string or any string; "%i", "%d", "%u",
// "%x", "%lld", "%llu", "%ld", "%lu", "%zu" integers; "%f", "%g", "%e" (with
// width and precision) floating point; "%p" a pointer; "%c" a character; "%%"
// a percent sign. Numbers are always written in the C locale.
class PWFormatArg {
 public:
  enum class Kind { kSigned, kUnsigned, kFloat, kString, kPointer };

  PWFormatArg(int v) : m_kind(Kind::kSigned), m_signed(v) {}
  PWFormatArg(long v) : m_kind(Kind::kSigned), m_signed(v) {}
  PWFormatArg(long long v) : m_kind(Kind::kSigned), m_signed(v) {}
  PWFormatArg(unsigned v) : m_kind(Kind::kUnsigned), m_unsigned(v) {}
  PWFormatArg(unsigned long v) : m_kind(Kind::kUnsigned), m_unsigned(v) {}
  PWFormatArg(unsigned long long v) : m_kind(Kind::kUnsigned), m_unsigned(v) {}
  PWFormatArg(char v) : m_kind(Kind::kSigned), m_signed(v) {}
  PWFormatArg(bool v) : m_kind(Kind::kSigned), m_signed(v ? 1 : 0) {}
  PWFormatArg(double v) : m_kind(Kind::kFloat), m_float(v) {}
  PWFormatArg(float v) : m_kind(Kind::kFloat), m_float(v) {}
  PWFormatArg(const char* v) : m_kind(Kind::kString), m_isNull(v == nullptr), m_string(v ? v : "") {}
  PWFormatArg(std::string_view v) : m_kind(Kind::kString), m_string(v) {}
  PWFormatArg(const std::string& v) : m_kind(Kind::kString), m_string(v) {}
  PWFormatArg(const PWStringRef& v) : m_kind(Kind::kString), m_isNull(v.IsNull()), m_string(v.View()) {}
  PWFormatArg(const void* v) : m_kind(Kind::kPointer), m_pointer(v) {}

  Kind GetKind() const { return m_kind; }
  long long Signed() const;
  unsigned long long Unsigned() const;
  double Float() const;
  // Strings print "(null)" when null.
  std::string_view Text() const { return m_isNull ? std::string_view("(null)") : m_string; }
  const void* Pointer() const { return m_pointer; }

 private:
  Kind m_kind;
  bool m_isNull = false;
  long long m_signed = 0;
  unsigned long long m_unsigned = 0;
  double m_float = 0;
  std::string_view m_string;
  const void* m_pointer = nullptr;
};

// Formats into a std::string; a directive without its argument prints nothing
// for that directive, never reads past the list.
std::string PWFormatToString(std::string_view format, std::span<const PWFormatArg> args);

// Reads a floating-point number as strtod does in the C locale ("." is the
// decimal point), whatever the process locale. False when the text (blanks
// around it aside) is not exactly one number, or its value overflows a double.
bool PWParseDouble(std::string_view text, double& value);

template <class... Args>
PWStringRef PWStringCreateWithFormat(std::string_view format, const Args&... args) {
  if constexpr (sizeof...(Args) == 0) {
    return PWStringRef(PWFormatToString(format, {}));
  } else {
    const PWFormatArg list[] = {PWFormatArg(args)...};
    return PWStringRef(PWFormatToString(format, list));
  }
}
