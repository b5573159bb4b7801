#include "General/KsValueWrapper.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(KsValueWrapper, KsObject, "KsValueWrapper")

void KsValueWrapper::KsValueWrapperClass::SetupProperties() {
  using namespace KsPropertyType;
  using W = KsValueWrapper;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<W, int32_t>::Create(self, kValueTypeId, kInt, "ValueType", true, &W::GetValueType,
                                                      &W::SetValueType));
  AddProperty(HcPropertyDirectGet<W, bool>::Create(self, kBooleanValueId, kBool, "BooleanValue", true,
                                                   &W::GetBooleanValue, &W::SetBooleanValue));
  AddProperty(HcPropertyDirectGet<W, int32_t>::Create(self, kIntValueId, kInt, "IntValue", true, &W::GetIntValue,
                                                      &W::SetIntValue));
  AddProperty(HcPropertyDirectGet<W, uint32_t>::Create(self, kUIntValueId, kUInt, "UIntValue", true,
                                                       &W::GetUIntValue, &W::SetUIntValue));
  AddProperty(HcPropertyDirectGet<W, int64_t>::Create(self, kInt64ValueId, kInt64, "Int64Value", true,
                                                      &W::GetInt64Value, &W::SetInt64Value));
  AddProperty(HcPropertyDirectGet<W, float>::Create(self, kFloatValueId, kFloat, "FloatValue", true,
                                                    &W::GetFloatValue, &W::SetFloatValue));
  AddProperty(HcPropertyDirectGet<W, double>::Create(self, kDoubleValueId, kDouble, "DoubleValue", true,
                                                     &W::GetDoubleValue, &W::SetDoubleValue));
  AddProperty(HcPropertyDirectGet<W, PWStringRef>::Create(self, kStringValueId, kString, "StringValue", true,
                                                          &W::CopyString, &W::SetStringValue));
  AddProperty(HcPropertyDirectGet<W, void*>::Create(self, kPointerValueId, kPointer, "PointerValue", true,
                                                    &W::GetPointerValue, &W::SetPointerValue));
  AddProperty(HcPropertyDirectGet<W, KsPropertyList>::Create(self, kCFTypeValueId, kPropertyList, "CFTypeValue",
                                                             true, &W::CopyCFType, &W::SetCFTypeValue));
  AddProperty(HcPropertyDirectGet<W, KsPointF>::Create(self, kPointFValueId, kPoint, "PointFValue", true,
                                                       &W::GetPointFValue, &W::SetPointFValue));
  AddProperty(HcPropertyDirectGet<W, KsSizeF>::Create(self, kSizeFValueId, kSize, "SizeFValue", true,
                                                      &W::GetSizeFValue, &W::SetSizeFValue));
  AddProperty(HcPropertyDirectGet<W, KsRectF>::Create(self, kRectFValueId, kRect, "RectFValue", true,
                                                      &W::GetRectFValue, &W::SetRectFValue));
  AddProperty(HcPropertyDirectGet<W, KsColorF>::Create(self, kColorFValueId, kColor, "ColorFValue", true,
                                                       &W::GetColorFValue, &W::SetColorFValue));
  AddProperty(HcPropertyObjectDirectGet<W, KsObject>::Create(self, kKsObjectValueId, "KsObjectValue", true,
                                                             &W::GetKsObjectValue, &W::SetKsObjectValue));
}
