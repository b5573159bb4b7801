#pragma once

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "General/KsPropertyList.h"
#include "KsAppErr.h"
#include "PWString.h"

// A block of raw bytes as a model object, offered as a pointer, a length,
// Base64 text, an adopted pointer, a property-list data value and hexadecimal
// text. Only the Base64 form is serialised.
//
// States: empty (no length) -> length set -> filled (a buffer exists). Bytes
// are given once: after the buffer exists its length no longer changes and
// the byte setters leave it as it is (only SetHex rewrites it, within its
// length). A KsData whose length was never set reads as empty in every form.
// New buffers are zero-filled. Pointer-typed properties are never set from
// text.
class KsData : public KsObject {
  HC_CLASS_HEADER(KsData)
 public:
  enum : int32_t {
    kBytesId = 200,
    kLengthId = 201,
    kBase64Id = 202,
    kBytesNoCopyId = 203,
    kCFDataId = 204,
    kHexId = 205,
  };

  KsData();
  ~KsData() override;

  // 0 when never set.
  uint32_t GetLength() const { return m_length; }
  // -903 (not traced) once the buffer exists; may be repeated before that.
  eAppErr SetLength(uint32_t length);
  bool HasLength() const { return m_lengthSet; }

  // The buffer of length bytes, allocated (zero-filled) on first use; null
  // when no length is set or the allocation fails. The caller may write up to
  // length bytes into it.
  void* GetMutableBytes();
  // Copies length bytes from the source into a new buffer: -903 unless a
  // length is set and no buffer exists yet; -2 for a null source of a
  // non-zero length; -101 / -100 when the allocation fails.
  eAppErr SetBytes(const void* source);
  // Adopts a block of the C heap as the buffer (freed with free()), leaving
  // length and its flag as they are; -903 when a buffer exists.
  eAppErr SetBytesNoCopy(void* block);

  // The bytes in Base64 (lines of 64 characters, no trailing line break); the
  // empty string when no length is set.
  PWStringRef CopyBase64();
  // Decodes Base64 on one line or in lines of any length. When no buffer
  // exists yet the decoded size becomes the length and the bytes are copied;
  // a KsData that already holds bytes keeps them (and answers 0). Text that
  // is not Base64 answers -900 (a null text -2) and changes nothing.
  eAppErr SetBase64(const PWStringRef& text);

  // A property-list data value holding a copy of the bytes; an empty one
  // when no length is set.
  KsPropertyList CopyCFData();
  // Takes the bytes of a data value as SetBase64 takes decoded bytes; -2 for
  // a null value or one that is not data.
  eAppErr SetCFData(const KsPropertyList& value);

  // Two lower-case digits per byte, no separators; empty when no length is set.
  PWStringRef CopyHex();
  // Reads text in CopyHex's form, two digits per byte (either case). When no
  // buffer exists the length becomes the number of bytes given; otherwise the
  // bytes are written from the start of the buffer and never past its
  // length: more bytes than that answer -901. A null text answers -2, text
  // with an odd number of digits or other characters -900; failures change
  // nothing.
  eAppErr SetHex(const PWStringRef& text);

 private:
  bool HasBuffer() const { return m_bytes != nullptr; }
  // Allocates the zero-filled buffer for the set length.
  eAppErr AllocateBuffer(const char* method);
  // The buffer of a set length, allocated first if needed; null otherwise.
  const uint8_t* ReadableBytes();
  // SetBase64 and SetCFData: the given bytes become the length (when no buffer
  // exists yet) and are copied.
  eAppErr TakeBytes(const uint8_t* bytes, size_t length, const char* method);

  uint8_t* m_bytes = nullptr;
  uint32_t m_length = 0;
  bool m_lengthSet = false;
};
HC_CLASS_OBJECT(KsData, KsObject)
