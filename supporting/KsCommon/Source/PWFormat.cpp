#include "PWFormat.h"

#include <locale.h>
#include <stdlib.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <limits>
#include <optional>

namespace {

// The C locale, made once; formatting switches the calling thread to it so
// that numbers never take the user's decimal comma.
locale_t CLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return locale;
}

class ScopedCLocale {
 public:
  ScopedCLocale() : m_previous(CLocale() ? uselocale(CLocale()) : static_cast<locale_t>(nullptr)) {}
  ~ScopedCLocale() {
    if (m_previous) uselocale(m_previous);
  }
  ScopedCLocale(const ScopedCLocale&) = delete;
  ScopedCLocale& operator=(const ScopedCLocale&) = delete;

 private:
  locale_t m_previous;
};

enum class Length { kNone, kChar, kShort, kLong };

// One directive, "%" [position "$"] [flags] [width] ["." precision] [length] conversion.
struct Directive {
  std::optional<size_t> position;  // zero-based, from "N$"
  std::string flags;
  std::optional<int> width;
  bool widthFromArgument = false;
  std::optional<int> precision;
  bool precisionFromArgument = false;
  Length length = Length::kNone;
  char conversion = 0;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::optional<int> ReadNumber(std::string_view format, size_t& pos) {
  if (pos >= format.size() || !IsDigit(format[pos])) return std::nullopt;
  long long value = 0;
  while (pos < format.size() && IsDigit(format[pos])) {
    value = std::min<long long>(value * 10 + (format[pos] - '0'), 1 << 20);
    ++pos;
  }
  return static_cast<int>(value);
}

// Parses the directive after the "%" at `pos`; returns false when the format
// ends inside it.
bool ParseDirective(std::string_view format, size_t& pos, Directive& d) {
  const size_t start = pos;
  if (auto number = ReadNumber(format, pos); number && pos < format.size() && format[pos] == '$' && *number > 0) {
    d.position = static_cast<size_t>(*number - 1);
    ++pos;
  } else {
    pos = start;
  }
  while (pos < format.size() && std::string_view("-+ #0'").find(format[pos]) != std::string_view::npos) {
    if (format[pos] != '\'') d.flags += format[pos];  // grouping would bring the locale back in
    ++pos;
  }
  if (pos < format.size() && format[pos] == '*') {
    d.widthFromArgument = true;
    ++pos;
  } else {
    d.width = ReadNumber(format, pos);
  }
  if (pos < format.size() && format[pos] == '.') {
    ++pos;
    if (pos < format.size() && format[pos] == '*') {
      d.precisionFromArgument = true;
      ++pos;
    } else {
      d.precision = ReadNumber(format, pos).value_or(0);
    }
  }
  while (pos < format.size() && std::string_view("hlLqjzt").find(format[pos]) != std::string_view::npos) {
    const char c = format[pos];
    if (c == 'h') {
      d.length = d.length == Length::kShort ? Length::kChar : Length::kShort;
    } else {
      d.length = Length::kLong;
    }
    ++pos;
  }
  if (pos >= format.size()) return false;
  d.conversion = format[pos++];
  return true;
}

class ArgumentCursor {
 public:
  explicit ArgumentCursor(std::span<const PWFormatArg> args) : m_args(args) {}
  const PWFormatArg* Next(std::optional<size_t> position = std::nullopt) {
    const size_t index = position ? *position : m_next++;
    return index < m_args.size() ? &m_args[index] : nullptr;
  }

 private:
  std::span<const PWFormatArg> m_args;
  size_t m_next = 0;
};

std::string Spec(const Directive& d, const char* lengthAndConversion) {
  std::string spec = "%" + d.flags;
  if (d.width) spec += std::to_string(*d.width);
  if (d.precision) {
    spec += '.';
    spec += std::to_string(*d.precision);
  }
  spec += lengthAndConversion;
  return spec;
}

template <class T>
void AppendPrintf(std::string& out, const std::string& spec, T value) {
  char small[128];
  const int needed = std::snprintf(small, sizeof small, spec.c_str(), value);
  if (needed < 0) return;
  if (static_cast<size_t>(needed) < sizeof small) {
    out.append(small, static_cast<size_t>(needed));
    return;
  }
  std::string large(static_cast<size_t>(needed) + 1, '\0');
  std::snprintf(large.data(), large.size(), spec.c_str(), value);
  out.append(large.data(), static_cast<size_t>(needed));
}

void AppendText(std::string& out, const Directive& d, std::string_view text) {
  if (d.precision && static_cast<size_t>(*d.precision) < text.size()) text = text.substr(0, static_cast<size_t>(*d.precision));
  const size_t width = d.width ? static_cast<size_t>(*d.width) : 0;
  const size_t padding = width > text.size() ? width - text.size() : 0;
  const bool leftAligned = d.flags.find('-') != std::string::npos;
  if (!leftAligned) out.append(padding, ' ');
  out.append(text);
  if (leftAligned) out.append(padding, ' ');
}

// A number given where a string was asked for prints in its natural form.
std::string NaturalText(const PWFormatArg& arg) {
  std::string out;
  switch (arg.GetKind()) {
    case PWFormatArg::Kind::kSigned: AppendPrintf(out, "%lld", arg.Signed()); break;
    case PWFormatArg::Kind::kUnsigned: AppendPrintf(out, "%llu", arg.Unsigned()); break;
    case PWFormatArg::Kind::kFloat: AppendPrintf(out, "%g", arg.Float()); break;
    case PWFormatArg::Kind::kPointer: AppendPrintf(out, "%p", arg.Pointer()); break;
    case PWFormatArg::Kind::kString: out = std::string(arg.Text()); break;
  }
  return out;
}

// The value an unsigned conversion prints: negative values wrap at the width
// the length modifier names, as printf would for an argument of that type.
unsigned long long UnsignedValue(const PWFormatArg& arg, Length length) {
  if (arg.GetKind() != PWFormatArg::Kind::kSigned || arg.Signed() >= 0) return arg.Unsigned();
  const long long value = arg.Signed();
  switch (length) {
    case Length::kChar: return static_cast<unsigned char>(value);
    case Length::kShort: return static_cast<unsigned short>(value);
    case Length::kNone: return static_cast<unsigned int>(value);
    case Length::kLong: break;
  }
  return static_cast<unsigned long long>(value);
}

void AppendDirective(std::string& out, const Directive& d, const PWFormatArg& arg) {
  switch (d.conversion) {
    case 'd':
    case 'i':
      AppendPrintf(out, Spec(d, "lld"), arg.Signed());
      break;
    case 'u':
    case 'x':
    case 'X':
    case 'o': {
      const char conversion[] = {'l', 'l', d.conversion, '\0'};
      AppendPrintf(out, Spec(d, conversion), UnsignedValue(arg, d.length));
      break;
    }
    case 'f':
    case 'F':
    case 'e':
    case 'E':
    case 'g':
    case 'G':
    case 'a':
    case 'A': {
      const char conversion[] = {d.conversion, '\0'};
      AppendPrintf(out, Spec(d, conversion), arg.Float());
      break;
    }
    case 'c': {
      const char c = arg.GetKind() == PWFormatArg::Kind::kString
                         ? (arg.Text().empty() ? '\0' : arg.Text().front())
                         : static_cast<char>(arg.Signed());
      Directive character = d;
      character.precision.reset();
      if (c != '\0') AppendText(out, character, std::string_view(&c, 1));
      break;
    }
    case 'p':
      AppendPrintf(out, Spec(d, "p"), arg.Pointer());
      break;
    case 's':
    case '@':
    case 'S':
      AppendText(out, d, arg.GetKind() == PWFormatArg::Kind::kString ? std::string(arg.Text()) : NaturalText(arg));
      break;
    default:  // "%n" takes its argument but writes nothing through it
      break;
  }
}

bool ConsumesArgument(char conversion) {
  return std::string_view("diuxXofFeEgGaAcps@Sn").find(conversion) != std::string_view::npos;
}

int IntArgument(const PWFormatArg* arg) {
  if (!arg) return 0;
  return static_cast<int>(std::clamp<long long>(arg->Signed(), -(1 << 20), 1 << 20));
}

}  // namespace

long long PWFormatArg::Signed() const {
  switch (m_kind) {
    case Kind::kSigned: return m_signed;
    case Kind::kUnsigned: return static_cast<long long>(m_unsigned);
    case Kind::kFloat:
      if (std::isnan(m_float)) return 0;
      if (m_float >= 9.2e18) return std::numeric_limits<long long>::max();
      if (m_float <= -9.2e18) return std::numeric_limits<long long>::min();
      return static_cast<long long>(m_float);
    case Kind::kPointer: return static_cast<long long>(reinterpret_cast<uintptr_t>(m_pointer));
    case Kind::kString: return 0;
  }
  return 0;
}

unsigned long long PWFormatArg::Unsigned() const {
  switch (m_kind) {
    case Kind::kSigned: return static_cast<unsigned long long>(m_signed);
    case Kind::kUnsigned: return m_unsigned;
    case Kind::kFloat:
      if (std::isnan(m_float) || m_float <= 0) return 0;
      if (m_float >= 1.8e19) return std::numeric_limits<unsigned long long>::max();
      return static_cast<unsigned long long>(m_float);
    case Kind::kPointer: return reinterpret_cast<uintptr_t>(m_pointer);
    case Kind::kString: return 0;
  }
  return 0;
}

double PWFormatArg::Float() const {
  switch (m_kind) {
    case Kind::kSigned: return static_cast<double>(m_signed);
    case Kind::kUnsigned: return static_cast<double>(m_unsigned);
    case Kind::kFloat: return m_float;
    case Kind::kPointer:
    case Kind::kString: return 0;
  }
  return 0;
}

bool PWParseDouble(std::string_view text, double& value) {
  constexpr std::string_view kBlanks = " \t\r\n";
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos || !CLocale()) return false;
  const std::string number(text.substr(first, text.find_last_not_of(kBlanks) - first + 1));
  char* end = nullptr;
  errno = 0;
  const double parsed = strtod_l(number.c_str(), &end, CLocale());
  if (end != number.c_str() + number.size()) return false;
  if (errno == ERANGE && std::isinf(parsed)) return false;
  value = parsed;
  return true;
}

std::string PWFormatToString(std::string_view format, std::span<const PWFormatArg> args) {
  ScopedCLocale cLocale;
  std::string out;
  out.reserve(format.size() + 16 * args.size());
  ArgumentCursor cursor(args);
  size_t pos = 0;
  while (pos < format.size()) {
    const size_t percent = format.find('%', pos);
    out.append(format.substr(pos, percent == std::string_view::npos ? std::string_view::npos : percent - pos));
    if (percent == std::string_view::npos) break;
    pos = percent + 1;
    if (pos < format.size() && format[pos] == '%') {
      out += '%';
      ++pos;
      continue;
    }
    Directive d;
    if (!ParseDirective(format, pos, d)) {
      out.append(format.substr(percent));
      break;
    }
    if (d.widthFromArgument) {
      const int width = IntArgument(cursor.Next());
      if (width < 0) d.flags += '-';
      d.width = std::abs(width);
    }
    if (d.precisionFromArgument) {
      const int precision = IntArgument(cursor.Next());
      if (precision >= 0) d.precision = precision;
    }
    if (!ConsumesArgument(d.conversion)) continue;  // unknown conversions print nothing
    if (const PWFormatArg* arg = cursor.Next(d.position)) AppendDirective(out, d, *arg);
  }
  return out;
}
