#pragma once

#include <mutex>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "PWString.h"

// Carries a string to be localised and its localised form, both set from
// outside (object data, bindings, the shell); it derives neither from the
// other.
class StringLocalizer : public KsObject {
  HC_CLASS_HEADER(StringLocalizer)
 public:
  enum : int32_t { kStringToLocalizeId = 200, kLocalizedStringId = 201 };

  PWStringRef GetStringToLocalize() const;
  eAppErr SetStringToLocalize(const PWStringRef& string);
  PWStringRef GetLocalizedString() const;
  eAppErr SetLocalizedString(const PWStringRef& string);

  // Localises nothing: answers null for every string.
  PWStringRef LocalizeString(const PWStringRef& string) const;

 private:
  mutable std::mutex m_lock;
  PWStringRef m_stringToLocalize;
  PWStringRef m_localizedString;
};
HC_CLASS_OBJECT(StringLocalizer, KsObject)
