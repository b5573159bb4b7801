#pragma once

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "PWString.h"

// One pair of strings (either may be null), carried through the reflection
// layer so that lists of pairs can be written and read like other objects.
class StringStringTuple : public KsObject {
  HC_CLASS_HEADER(StringStringTuple)
 public:
  enum : int32_t { kFirstId = 200, kSecondId = 201 };

  PWStringRef GetFirst() const { return m_first; }
  PWStringRef GetSecond() const { return m_second; }
  // Store the string itself (not a copy); no change notice of their own.
  eAppErr SetFirst(const PWStringRef& first);
  eAppErr SetSecond(const PWStringRef& second);

 private:
  PWStringRef m_first;
  PWStringRef m_second;
};
HC_CLASS_OBJECT(StringStringTuple, KsObject)
