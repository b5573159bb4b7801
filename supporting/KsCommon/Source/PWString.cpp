#include "PWString.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>
#include <stdexcept>

namespace {

const std::string& EmptyText() {
  static const std::string empty;
  return empty;
}

// ---------------------------------------------------------------------------
// UTF-8

constexpr char32_t kReplacementCharacter = 0xFFFD;

// Decodes the code point at `pos`, advancing `pos`; nullopt for bytes that are
// not well-formed UTF-8 (overlong forms, surrogates and values past U+10FFFF
// included).
std::optional<char32_t> DecodeUTF8(std::string_view text, size_t& pos) {
  const auto byteAt = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byteAt(pos);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  size_t count;
  char32_t value;
  char32_t minimum;
  if ((lead & 0xE0) == 0xC0) {
    count = 1, value = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    count = 2, value = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    count = 3, value = lead & 0x07, minimum = 0x10000;
  } else {
    return std::nullopt;
  }
  if (text.size() - pos <= count) return std::nullopt;
  for (size_t i = 1; i <= count; ++i) {
    const unsigned char next = byteAt(pos + i);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    value = (value << 6) | (next & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return std::nullopt;
  pos += count + 1;
  return value;
}

// Runs of ASCII, the bulk of most texts, are checked eight bytes at a time;
// only the other characters are decoded.
bool IsValidUTF8(std::string_view text) {
  constexpr uint64_t kHighBits = 0x8080808080808080ull;
  size_t pos = 0;
  while (pos < text.size()) {
    while (text.size() - pos >= sizeof(uint64_t)) {
      uint64_t word;
      std::memcpy(&word, text.data() + pos, sizeof word);
      if (word & kHighBits) break;
      pos += sizeof word;
    }
    while (pos < text.size() && static_cast<unsigned char>(text[pos]) < 0x80) ++pos;
    if (pos < text.size() && !DecodeUTF8(text, pos)) return false;
  }
  return true;
}

void AppendUTF8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

size_t UTF16Units(char32_t c) { return c >= 0x10000 ? 2 : 1; }

// ---------------------------------------------------------------------------
// Mac Roman: the upper half of the character set, as Unicode code points.

constexpr std::array<char16_t, 128> kMacRomanHigh = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1,  // 80
    0x00E0, 0x00E2, 0x00E4, 0x00E3, 0x00E5, 0x00E7, 0x00E9, 0x00E8,  // 88
    0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3,  // 90
    0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC,  // 98
    0x2020, 0x00B0, 0x00A2, 0x00A3, 0x00A7, 0x2022, 0x00B6, 0x00DF,  // A0
    0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8,  // A8
    0x221E, 0x00B1, 0x2264, 0x2265, 0x00A5, 0x00B5, 0x2202, 0x2211,  // B0
    0x220F, 0x03C0, 0x222B, 0x00AA, 0x00BA, 0x03A9, 0x00E6, 0x00F8,  // B8
    0x00BF, 0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB,  // C0
    0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5, 0x0152, 0x0153,  // C8
    0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x25CA,  // D0
    0x00FF, 0x0178, 0x2044, 0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02,  // D8
    0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1,  // E0
    0x00CB, 0x00C8, 0x00CD, 0x00CE, 0x00CF, 0x00CC, 0x00D3, 0x00D4,  // E8
    0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC,  // F0
    0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7,  // F8
};

std::optional<char> MacRomanByteOf(char32_t c) {
  if (c < 0x80) return static_cast<char>(c);
  const auto found = std::find(kMacRomanHigh.begin(), kMacRomanHigh.end(), c);
  if (found == kMacRomanHigh.end()) return std::nullopt;
  return static_cast<char>(0x80 + (found - kMacRomanHigh.begin()));
}

// Bytes in an encoding to UTF-8 text; nullopt when they don't decode.
std::optional<std::string> DecodeBytes(std::string_view bytes, PWStringEncoding encoding) {
  switch (encoding) {
    case PWStringEncoding::kUTF8:
      if (!IsValidUTF8(bytes)) return std::nullopt;
      return std::string(bytes);
    case PWStringEncoding::kASCII:
      for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) return std::nullopt;
      }
      return std::string(bytes);
    case PWStringEncoding::kMacRoman: {
      std::string out;
      out.reserve(bytes.size());
      for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        AppendUTF8(out, byte < 0x80 ? char32_t(byte) : char32_t(kMacRomanHigh[byte - 0x80]));
      }
      return out;
    }
  }
  return std::nullopt;
}

// UTF-8 text to bytes in an encoding; nullopt when a character has no form there.
std::optional<std::string> EncodeText(std::string_view text, PWStringEncoding encoding) {
  switch (encoding) {
    case PWStringEncoding::kUTF8:
      return std::string(text);
    case PWStringEncoding::kASCII:
    case PWStringEncoding::kMacRoman: {
      std::string out;
      out.reserve(text.size());
      size_t pos = 0;
      while (pos < text.size()) {
        const auto c = DecodeUTF8(text, pos);
        if (!c) return std::nullopt;
        if (encoding == PWStringEncoding::kASCII) {
          if (*c >= 0x80) return std::nullopt;
          out += static_cast<char>(*c);
        } else {
          const auto byte = MacRomanByteOf(*c);
          if (!byte) return std::nullopt;
          out += *byte;
        }
      }
      return out;
    }
  }
  return std::nullopt;
}

// Byte offset of the UTF-16 offset `units`; nullopt when it lies past the end
// or inside a surrogate pair.
std::optional<size_t> ByteOffsetOfUTF16(std::string_view text, size_t units) {
  size_t pos = 0;
  size_t counted = 0;
  while (counted < units) {
    if (pos >= text.size()) return std::nullopt;
    const auto c = DecodeUTF8(text, pos);
    if (!c) return std::nullopt;
    counted += UTF16Units(*c);
  }
  if (counted != units) return std::nullopt;
  return pos;
}

unsigned char FoldASCII(unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c; }

// ---------------------------------------------------------------------------
// Files

// Every byte of the open file: one buffer of the size the file has now, read
// on until the end in case it grows (or reports no size, as some special
// files do). Nullopt when a read fails, on a folder, or without memory.
std::optional<std::string> ReadWholeFile(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) return std::nullopt;
  std::string contents;
  try {
    size_t capacity = info.st_size > 0 ? static_cast<size_t>(info.st_size) + 1 : 8192;
    contents.resize(capacity);
    size_t used = 0;
    for (;;) {
      if (used == capacity) {
        capacity *= 2;
        contents.resize(capacity);
      }
      const ssize_t got = ::read(fd, contents.data() + used, capacity - used);
      if (got == 0) break;
      if (got < 0) {
        if (errno == EINTR) continue;
        return std::nullopt;
      }
      used += static_cast<size_t>(got);
    }
    contents.resize(used);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  } catch (const std::length_error&) {
    return std::nullopt;
  }
  return contents;
}

// ---------------------------------------------------------------------------
// Paths

// The path without trailing slashes, keeping a lone root "/".
std::string_view StripTrailingSlashes(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  return path;
}

std::string_view LastComponentOf(std::string_view path) {
  path = StripTrailingSlashes(path);
  if (path == "/") return path;
  const size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// Position of the extension's dot within the stripped path, if the last
// component has an extension (a leading dot names a hidden file, not an
// extension).
std::optional<size_t> ExtensionDotOf(std::string_view stripped) {
  const size_t slash = stripped.rfind('/');
  const size_t componentStart = slash == std::string_view::npos ? 0 : slash + 1;
  const size_t dot = stripped.rfind('.');
  if (dot == std::string_view::npos || dot <= componentStart) return std::nullopt;
  if (dot + 1 == stripped.size()) return std::nullopt;
  return dot;
}

bool IsTrimmedWhitespace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Characters that XML 1.0 does not allow at all; they are written as U+FFFD.
bool IsForbiddenInXML(char32_t c) {
  if (c < 0x20) return c != '\t' && c != '\n' && c != '\r';
  return c == 0xFFFE || c == 0xFFFF;
}

bool NeedsXMLEscape(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size()) {
    const auto c = DecodeUTF8(text, pos);
    if (!c) return true;
    if (*c == '&' || *c == '"' || *c == '<' || *c == '>' || *c == '\r' || IsForbiddenInXML(*c)) return true;
  }
  return false;
}

bool HasMarkupCharacter(std::string_view text) { return text.find_first_of("&\"<>") != std::string_view::npos; }

}  // namespace

// ---------------------------------------------------------------------------
// PWStringRef

PWStringRef::PWStringRef(const char* utf8) {
  if (utf8) m_text = std::make_shared<const std::string>(utf8);
}
PWStringRef::PWStringRef(std::string_view utf8) : m_text(std::make_shared<const std::string>(utf8)) {}
PWStringRef::PWStringRef(std::string&& utf8) : m_text(std::make_shared<const std::string>(std::move(utf8))) {}
PWStringRef::PWStringRef(const std::string& utf8) : m_text(std::make_shared<const std::string>(utf8)) {}

const std::string& PWStringRef::Str() const { return m_text ? *m_text : EmptyText(); }

bool operator==(const PWStringRef& a, const PWStringRef& b) {
  if (a.IsNull() || b.IsNull()) return a.IsNull() && b.IsNull();
  return a.SameObject(b) || a.Str() == b.Str();
}

int PWStringCompareNoCase(std::string_view a, std::string_view b) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    const unsigned char ca = FoldASCII(static_cast<unsigned char>(a[i]));
    const unsigned char cb = FoldASCII(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool PWStringEqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && PWStringCompareNoCase(a, b) == 0;
}

bool PWStringLessNoCase::operator()(const PWStringRef& a, const PWStringRef& b) const {
  if (a.IsNull() || b.IsNull()) return a.IsNull() && !b.IsNull();
  return PWStringCompareNoCase(a.View(), b.View()) < 0;
}
bool PWStringLessNoCase::operator()(std::string_view a, const PWStringRef& b) const {
  return !b.IsNull() && PWStringCompareNoCase(a, b.View()) < 0;
}
bool PWStringLessNoCase::operator()(const PWStringRef& a, std::string_view b) const {
  return a.IsNull() || PWStringCompareNoCase(a.View(), b) < 0;
}

// ---------------------------------------------------------------------------
// PWCStringPtr

PWCStringPtr::PWCStringPtr(const PWStringRef& string, PWStringEncoding encoding) : m_string(string) {
  if (m_string.IsNull()) return;
  if (encoding == PWStringEncoding::kUTF8) {
    m_cString = m_string.CStr();
    return;
  }
  if (auto encoded = EncodeText(m_string.View(), encoding)) {
    m_buffer = std::move(*encoded);
    m_cString = m_buffer.c_str();
  }
}

// ---------------------------------------------------------------------------
// Creating and converting

PWStringRef PWStringCopy(const PWStringRef& string) { return string; }

PWStringRef PWStringCreateSubstring(const PWStringRef& string, size_t location, size_t length) {
  if (string.IsNull() || length > SIZE_MAX - location) return nullptr;
  const std::string_view text = string.View();
  const auto begin = ByteOffsetOfUTF16(text, location);
  if (!begin) return nullptr;
  const auto extent = ByteOffsetOfUTF16(text.substr(*begin), length);
  if (!extent) return nullptr;
  return PWStringRef(text.substr(*begin, *extent));
}

PWStringRef PWStringCreateWithCString(const char* cString, PWStringEncoding encoding) {
  if (!cString) return nullptr;
  return PWStringCreateWithBytes(cString, encoding, std::strlen(cString));
}

PWStringRef PWStringCreateWithBytes(const char* bytes, PWStringEncoding encoding, size_t byteCount) {
  if (!bytes) return nullptr;
  const void* nul = std::memchr(bytes, 0, byteCount);
  const size_t length = nul ? static_cast<size_t>(static_cast<const char*>(nul) - bytes) : byteCount;
  auto decoded = DecodeBytes(std::string_view(bytes, length), encoding);
  if (!decoded) return nullptr;
  return PWStringRef(std::move(*decoded));
}

PWStringRef PWStringConcat(const PWStringRef& a, const PWStringRef& b) {
  if (a.IsNull() || b.IsNull()) return nullptr;
  std::string joined;
  joined.reserve(a.ByteLength() + b.ByteLength());
  joined.append(a.View()).append(b.View());
  return PWStringRef(std::move(joined));
}

bool PWStringGetCString(const PWStringRef& string, char* buffer, size_t bufferSize, PWStringEncoding encoding) {
  if (string.IsNull() || !buffer) return false;
  const auto encoded = EncodeText(string.View(), encoding);
  if (!encoded || encoded->size() + 1 > bufferSize) return false;
  std::memcpy(buffer, encoded->data(), encoded->size());
  buffer[encoded->size()] = '\0';
  return true;
}

size_t PWStringGetLength(const PWStringRef& string) {
  const std::string_view text = string.View();
  size_t units = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    const auto c = DecodeUTF8(text, pos);
    if (!c) {
      ++pos;  // a stray byte counts as one unit
      ++units;
      continue;
    }
    units += UTF16Units(*c);
  }
  return units;
}

bool PWStringHasPrefix(const PWStringRef& string, const PWStringRef& prefix) {
  if (string.IsNull() || prefix.IsNull() || prefix.IsEmpty()) return false;
  return string.View().starts_with(prefix.View());
}

// ---------------------------------------------------------------------------
// Paths

PWStringRef PWStringLastPathComponent(const PWStringRef& path) {
  if (path.IsNull()) return nullptr;
  return PWStringRef(LastComponentOf(path.View()));
}

PWStringRef PWStringPathExtension(const PWStringRef& path) {
  if (path.IsNull()) return nullptr;
  const std::string_view stripped = StripTrailingSlashes(path.View());
  const auto dot = ExtensionDotOf(stripped);
  return PWStringRef(dot ? stripped.substr(*dot + 1) : std::string_view());
}

PWStringRef PWStringDeletingPathExtension(const PWStringRef& path) {
  if (path.IsNull()) return nullptr;
  const std::string_view stripped = StripTrailingSlashes(path.View());
  const auto dot = ExtensionDotOf(stripped);
  return PWStringRef(dot ? stripped.substr(0, *dot) : stripped);
}

PWStringRef PWCreateTempPath() {
  std::string folders[2] = {"", "/tmp"};
  if (const char* tmpdir = std::getenv("TMPDIR"); tmpdir && *tmpdir) {
    folders[0] = std::string(StripTrailingSlashes(tmpdir));
  }
  for (const std::string& folder : folders) {
    if (folder.empty()) continue;
    std::string path = (folder == "/" ? std::string() : folder) + "/ks.XXXXXX";
    // mkstemp creates the file with O_EXCL, so the name is ours alone.
    const int fd = mkstemp(path.data());
    if (fd < 0) continue;
    close(fd);
    return PWStringRef(std::move(path));
  }
  return nullptr;
}

// ---------------------------------------------------------------------------
// Text

PWStringRef PWStringEscapeXML(const PWStringRef& string) {
  if (string.IsNull()) return nullptr;
  const std::string_view text = string.View();
  if (!NeedsXMLEscape(text)) return string;

  const bool inSection = HasMarkupCharacter(text);
  std::string out;
  out.reserve(text.size() + 16);
  if (inSection) out += "<![CDATA[";
  size_t pos = 0;
  while (pos < text.size()) {
    if (inSection && text.compare(pos, 3, "]]>") == 0) {
      // Close the section after "]]" and open a new one for ">".
      out += "]]]]><![CDATA[>";
      pos += 3;
      continue;
    }
    const size_t start = pos;
    const auto c = DecodeUTF8(text, pos);
    if (!c) {
      ++pos;
      AppendUTF8(out, kReplacementCharacter);
    } else if (*c == '\r') {
      // A parser turns a literal carriage return into a line feed; only a
      // character reference, outside any section, keeps it.
      out += inSection ? "]]>&#13;<![CDATA[" : "&#13;";
    } else if (IsForbiddenInXML(*c)) {
      AppendUTF8(out, kReplacementCharacter);
    } else {
      out.append(text.substr(start, pos - start));
    }
  }
  if (inSection) out += "]]>";
  return PWStringRef(std::move(out));
}

PWStringRef PWStringTrimWhitespace(const PWStringRef& string) {
  if (string.IsNull()) return nullptr;
  std::string_view text = string.View();
  while (!text.empty() && IsTrimmedWhitespace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsTrimmedWhitespace(text.back())) text.remove_suffix(1);
  if (text.size() == string.ByteLength()) return string;
  return PWStringRef(text);
}

bool PWStringIsBlank(const PWStringRef& string) {
  if (string.IsNull()) {
    std::fprintf(stderr, "%s:%u: failed assertion `%s'\n", "supporting/KsCommon/Source/PWString",
                 static_cast<unsigned>(__LINE__), "string");
    return true;
  }
  return PWStringTrimWhitespace(string).IsEmpty();
}

PWStringRef PWStringCreateWithContentsOfFile(const PWStringRef& path) {
  if (path.IsNull()) return nullptr;
  const int fd = ::open(path.CStr(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  std::optional<std::string> contents = ReadWholeFile(fd);
  ::close(fd);
  // Checked as a whole, so a character is never split between two reads.
  if (!contents || !IsValidUTF8(*contents)) return nullptr;
  return PWStringRef(std::move(*contents));
}
