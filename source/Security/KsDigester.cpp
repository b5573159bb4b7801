#include "Security/KsDigester.h"

#include "KsTrace.h"
#include "Security/SecuritySupport.h"

KsDigester::KsDigester() : m_data(KsMakeRef<KsData>()) {}

KsDigester::~KsDigester() = default;

eAppErr KsDigester::GetDigestBase64(PWStringRef* out) {
  if (!out) return KS_TRACE_ERR(AppErr::kBadArgument, "GetDigestBase64");
  KsRef<KsData> digest = GetDigest();
  if (!digest) return KS_TRACE_ERR(AppErr::kNotReady, "GetDigestBase64");
  *out = digest->CopyBase64();
  return AppErr::kNoErr;
}

eAppErr KsDigester::SetData(const KsRef<KsData>& data) {
  DidChangeCaller change(this, kDataId);
  m_data = data;
  return AppErr::kNoErr;
}

PWStringRef KsDigester::GetDataBase64() const {
  if (!m_data) return nullptr;
  return m_data->CopyBase64();
}

eAppErr KsDigester::SetDataBase64(const PWStringRef& text) {
  return ReplaceDataWithBase64(&m_data, text, "SetDataBase64");
}

uint32_t KsDigester::GetDataLen() const { return m_data ? m_data->GetLength() : 0; }

eAppErr KsDigester::SetDataLen(uint32_t length) {
  if (!m_data) return AppErr::kNoErr;
  if (eAppErr err = m_data->SetLength(length)) return KS_TRACE_ERR(err, "SetDataLen");
  return AppErr::kNoErr;
}

void* KsDigester::GetDataPtr() const { return m_data ? m_data->GetMutableBytes() : nullptr; }

eAppErr KsDigester::SetDataPtr(void* bytes) {
  if (!m_data) m_data = KsMakeRef<KsData>();
  if (eAppErr err = m_data->SetBytes(bytes)) return KS_TRACE_ERR(err, "SetDataPtr");
  return AppErr::kNoErr;
}
