#pragma once

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsData.h"
#include "General/KsObject.h"
#include "KsAppErr.h"
#include "PWString.h"

// A message digest over one byte buffer. The bytes come as a KsData (given
// whole, as Base64 text, or as a length followed by a pointer to that many
// bytes); the digest goes out as a new KsData or as Base64 text, as often as
// wanted. A new digester holds an empty KsData.
class KsDigester : public KsObject {
  HC_CLASS_HEADER(KsDigester)
 public:
  enum : int32_t {
    kDataId = 200,
    kDataBase64Id = 201,
    kDataLenId = 202,
    kDataPtrId = 203,
    kDigestBase64Id = 204,
    kDigestId = 205,
  };

  KsDigester();
  ~KsDigester() override;

  // A new KsData of the digest bytes, or empty when there is no digest (no
  // data, or an algorithm the digester doesn't have).
  virtual KsRef<KsData> GetDigest() = 0;
  // The digest's Base64 text: -2 for a null out-parameter, -903 (out left as
  // it was) when there is no digest.
  eAppErr GetDigestBase64(PWStringRef* out);

  KsRef<KsData> GetData() const { return m_data; }
  eAppErr SetData(const KsRef<KsData>& data);

  // Null when there is no data.
  PWStringRef GetDataBase64() const;
  // Replaces the data with the bytes of the text; text that isn't Base64
  // leaves no data and answers -900.
  eAppErr SetDataBase64(const PWStringRef& text);

  // 0 when there is no data.
  uint32_t GetDataLen() const;
  // The data's length, which is set once before its bytes: -903 once the
  // bytes exist; nothing happens when there is no data.
  eAppErr SetDataLen(uint32_t length);
  // The data's buffer (allocated at the set length on first use); null
  // without data or length.
  void* GetDataPtr() const;
  // Copies DataLen bytes from the pointer into the data (made first when
  // there is none): -903 without a length or when the bytes exist.
  eAppErr SetDataPtr(void* bytes);

 private:
  KsRef<KsData> m_data;
};
HC_CLASS_OBJECT(KsDigester, KsObject)
