#include "SerializationTestClasses.h"

#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

KsRef<SampleCollection> Sample::GetParts() const { return m_parts; }

eAppErr Sample::SetParts(const KsRef<SampleCollection>& parts) {
  m_parts = parts;
  return AppErr::kNoErr;
}

HC_DEFINE_CLASS(Sample, KsObject, "SerialSample")
void Sample::SampleClass::SetupProperties() {
  using namespace KsPropertyType;
  using S = Sample;
  auto self = ThisRef();
  AddProperty(HcPropertyDirectGet<S, float>::Create(self, 200, kFloat, "Float", true, &S::GetFloat, &S::SetFloat));
  AddProperty(HcPropertyDirectGet<S, int32_t>::Create(self, 201, kInt, "Int", true, &S::GetInt, &S::SetInt));
  AddProperty(HcPropertyDirectGet<S, uint32_t>::Create(self, 202, kUInt, "UInt", true, &S::GetUInt, &S::SetUInt));
  AddProperty(
      HcPropertyDirectGet<S, PWStringRef>::Create(self, 203, kString, "Text", true, &S::GetText, &S::SetText));
  AddProperty(HcPropertyObjectDirectGet<S, Sample>::Create(self, 204, "Child", true, &S::GetChild, &S::SetChild));
  AddProperty(HcPropertyDirectGet<S, bool>::Create(self, 205, kBool, "Flag", true, &S::GetFlag, &S::SetFlag));
  AddProperty(
      HcPropertyDirectGet<S, void*>::Create(self, 206, kPointer, "Pointer", false, &S::GetPointer, &S::SetPointer));
  AddProperty(
      HcPropertyDirectGet<S, KsPointF>::Create(self, 207, kPoint, "Point", true, &S::GetPoint, &S::SetPoint));
  AddProperty(HcPropertyDirectGet<S, KsSizeF>::Create(self, 208, kSize, "Size", true, &S::GetSize, &S::SetSize));
  AddProperty(HcPropertyDirectGet<S, KsRectF>::Create(self, 209, kRect, "Rect", true, &S::GetRect, &S::SetRect));
  AddProperty(
      HcPropertyDirectGet<S, KsColorF>::Create(self, 210, kColor, "Color", true, &S::GetColor, &S::SetColor));
  AddProperty(
      HcPropertyDirectGet<S, double>::Create(self, 211, kDouble, "Double", true, &S::GetDouble, &S::SetDouble));
  AddProperty(HcPropertyDirectGet<S, KsPropertyList>::Create(self, 212, kPropertyList, "Plist", true, &S::GetPlist,
                                                             &S::SetPlist));
  AddProperty(
      HcPropertyDirectGet<S, int64_t>::Create(self, 213, kInt64, "Int64", true, &S::GetInt64, &S::SetInt64));
  AddProperty(HcPropertyObjectDirectGet<S, Sample>::Create(self, 214, "Other", true, &S::GetOther, &S::SetOther));
  AddProperty(HcPropertyObjectDirectGet<S, SampleCollection>::Create(self, 215, "Parts", true, &S::GetParts,
                                                                    &S::SetParts));
  AddProperty(HcPropertyDirectGet<S, uint32_t>::Create(self, 216, kUInt, "Serial", false, &S::GetSerial, nullptr));
  AddProperty(
      HcPropertyDirectGet<S, int32_t>::Create(self, 217, kInt, "Limited", true, &S::GetLimited, &S::SetLimited));
}

HC_DEFINE_OBJECT_COLLECTION_CLASS(SampleCollection, Sample, "SerialSamples", "SerialSample")

void RegisterSerializationTestClasses() {
  HcClassMap::RegisterClassObject(Sample::ClassGetClassObject());
  HcClassMap::RegisterClassObject(SampleCollection::ClassGetClassObject());
}
