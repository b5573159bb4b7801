#include "General/StringStringTuple.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(StringStringTuple, KsObject, "StringStringTuple")

void StringStringTuple::StringStringTupleClass::SetupProperties() {
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<StringStringTuple, PWStringRef>::Create(
      self, StringStringTuple::kFirstId, KsPropertyType::kString, "First", true, &StringStringTuple::GetFirst,
      &StringStringTuple::SetFirst));
  AddProperty(HcPropertyDirectGet<StringStringTuple, PWStringRef>::Create(
      self, StringStringTuple::kSecondId, KsPropertyType::kString, "Second", true, &StringStringTuple::GetSecond,
      &StringStringTuple::SetSecond));
}
