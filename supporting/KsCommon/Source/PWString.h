#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

// A counted, immutable UTF-8 string. Copies share the text; a default-constructed
// string is null, which is distinct from the empty string. Routines that would
// hand out a new reference return a PWStringRef by value.
class PWStringRef {
 public:
  PWStringRef() = default;
  PWStringRef(std::nullptr_t) {}
  // A null C string gives a null string.
  PWStringRef(const char* utf8);
  PWStringRef(std::string_view utf8);
  PWStringRef(std::string&& utf8);
  PWStringRef(const std::string& utf8);

  bool IsNull() const { return !m_text; }
  explicit operator bool() const { return m_text != nullptr; }

  // The text; the empty string for a null string.
  const std::string& Str() const;
  std::string_view View() const { return Str(); }
  // The NUL-terminated text, or nullptr for a null string.
  const char* CStr() const { return m_text ? m_text->c_str() : nullptr; }
  // Length in bytes of UTF-8.
  size_t ByteLength() const { return m_text ? m_text->size() : 0; }
  bool IsEmpty() const { return ByteLength() == 0; }
  // True when both refer to the same text object (or both are null).
  bool SameObject(const PWStringRef& other) const { return m_text == other.m_text; }

  friend bool operator==(const PWStringRef& a, const PWStringRef& b);
  friend bool operator!=(const PWStringRef& a, const PWStringRef& b) { return !(a == b); }

 private:
  std::shared_ptr<const std::string> m_text;
};

// Case-insensitive ordering of every map keyed by a name (class names, property
// names, trace categories): "PanAngle" and "PANANGLE" are one key. A null
// string orders before every other.
struct PWStringLessNoCase {
  using is_transparent = void;
  bool operator()(const PWStringRef& a, const PWStringRef& b) const;
  bool operator()(std::string_view a, const PWStringRef& b) const;
  bool operator()(const PWStringRef& a, std::string_view b) const;
  // Other text types (C strings, std::string) as lookup keys: `map.find("Name")`.
  template <class T>
    requires(std::is_convertible_v<const T&, std::string_view> && !std::is_same_v<T, std::string_view>)
  bool operator()(const T& a, const PWStringRef& b) const {
    return (*this)(std::string_view(a), b);
  }
  template <class T>
    requires(std::is_convertible_v<const T&, std::string_view> && !std::is_same_v<T, std::string_view>)
  bool operator()(const PWStringRef& a, const T& b) const {
    return (*this)(a, std::string_view(b));
  }
};

// Case-insensitive comparison (ASCII letters fold; other bytes compare as they are).
int PWStringCompareNoCase(std::string_view a, std::string_view b);
bool PWStringEqualNoCase(std::string_view a, std::string_view b);

// Text encodings used for conversions.
enum class PWStringEncoding : uint32_t {
  kMacRoman = 0,
  kASCII = 0x0600,
  kUTF8 = 0x08000100,
};

// A scoped, read-only C-string view of a string in an encoding; the C string is
// null for a null string or when the text cannot be expressed in the encoding.
class PWCStringPtr {
 public:
  PWCStringPtr(const PWStringRef& string, PWStringEncoding encoding = PWStringEncoding::kUTF8);
  PWCStringPtr(const PWCStringPtr&) = delete;
  PWCStringPtr& operator=(const PWCStringPtr&) = delete;
  const char* CStr() const { return m_cString; }
  operator const char*() const { return m_cString; }

 private:
  PWStringRef m_string;
  std::string m_buffer;
  const char* m_cString = nullptr;
};

PWStringRef PWStringCopy(const PWStringRef& string);
// Location and length count UTF-16 units, as the original string API did.
PWStringRef PWStringCreateSubstring(const PWStringRef& string, size_t location, size_t length);
PWStringRef PWStringCreateWithCString(const char* cString, PWStringEncoding encoding = PWStringEncoding::kUTF8);
// The first n bytes (fewer when a NUL comes first); null when they don't decode.
PWStringRef PWStringCreateWithBytes(const char* bytes, PWStringEncoding encoding, size_t byteCount);
// Null when either argument is null.
PWStringRef PWStringConcat(const PWStringRef& a, const PWStringRef& b);
// True when the whole string and its NUL fit into the buffer.
bool PWStringGetCString(const PWStringRef& string, char* buffer, size_t bufferSize, PWStringEncoding encoding);
// Length in UTF-16 units.
size_t PWStringGetLength(const PWStringRef& string);
bool PWStringHasPrefix(const PWStringRef& string, const PWStringRef& prefix);

PWStringRef PWStringLastPathComponent(const PWStringRef& path);
PWStringRef PWStringPathExtension(const PWStringRef& path);
PWStringRef PWStringDeletingPathExtension(const PWStringRef& path);
// A new, unused path in $TMPDIR (or /tmp).
PWStringRef PWCreateTempPath();
PWStringRef PWStringEscapeXML(const PWStringRef& string);
PWStringRef PWStringTrimWhitespace(const PWStringRef& string);
bool PWStringIsBlank(const PWStringRef& string);
// The whole file as UTF-8 text; null when it can't be read or isn't UTF-8.
PWStringRef PWStringCreateWithContentsOfFile(const PWStringRef& path);
