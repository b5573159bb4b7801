#include "General/StringStringTuple.h"

eAppErr StringStringTuple::SetFirst(const PWStringRef& first) {
  m_first = first;
  return AppErr::kNoErr;
}

eAppErr StringStringTuple::SetSecond(const PWStringRef& second) {
  m_second = second;
  return AppErr::kNoErr;
}
