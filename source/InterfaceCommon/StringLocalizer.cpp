#include "InterfaceCommon/StringLocalizer.h"

PWStringRef StringLocalizer::GetStringToLocalize() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_stringToLocalize;
}

eAppErr StringLocalizer::SetStringToLocalize(const PWStringRef& string) {
  DidChangeCaller change(this, kStringToLocalizeId);
  std::lock_guard<std::mutex> guard(m_lock);
  m_stringToLocalize = string;
  return AppErr::kNoErr;
}

PWStringRef StringLocalizer::GetLocalizedString() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_localizedString;
}

eAppErr StringLocalizer::SetLocalizedString(const PWStringRef& string) {
  DidChangeCaller change(this, kLocalizedStringId);
  std::lock_guard<std::mutex> guard(m_lock);
  m_localizedString = string;
  return AppErr::kNoErr;
}

PWStringRef StringLocalizer::LocalizeString(const PWStringRef&) const { return {}; }
