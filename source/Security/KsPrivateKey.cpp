#include "Security/KsPrivateKey.h"

#include "Security/SecuritySupport.h"

KsPrivateKey::KsPrivateKey() = default;

KsPrivateKey::~KsPrivateKey() = default;

eAppErr KsPrivateKey::SetDataToSign(const KsRef<KsData>& data) {
  DidChangeCaller change(this, kDataToSignId);
  m_dataToSign = data;
  return AppErr::kNoErr;
}

PWStringRef KsPrivateKey::GetDataToSignBase64() const {
  if (!m_dataToSign) return nullptr;
  return m_dataToSign->CopyBase64();
}

eAppErr KsPrivateKey::SetDataToSignBase64(const PWStringRef& text) {
  return ReplaceDataWithBase64(&m_dataToSign, text, "SetDataToSignBase64");
}
