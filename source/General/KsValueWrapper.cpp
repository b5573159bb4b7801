#include "General/KsValueWrapper.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>
#include <utility>

#include "KsTrace.h"
#include "Utilities/HcProperty.h"
#include "Utilities/KsPropertyType.h"

using namespace KsPropertyType;

KsValueWrapper::KsValueWrapper() = default;

KsValueWrapper::~KsValueWrapper() = default;

// ---------------------------------------------------------------------------
// The scalar slot.

template <class T>
T KsValueWrapper::ReadSlot() const {
  if constexpr (std::is_same_v<T, bool>) {
    return m_slot != 0;
  } else {
    static_assert(sizeof(T) <= sizeof(m_slot));
    T value;
    std::memcpy(&value, &m_slot, sizeof(T));
    return value;
  }
}

template <class T>
void KsValueWrapper::WriteSlot(T value) {
  m_slot = 0;
  if constexpr (std::is_same_v<T, bool>) {
    m_slot = value ? 1 : 0;
  } else {
    std::memcpy(&m_slot, &value, sizeof(T));
  }
}

eAppErr KsValueWrapper::SetValueType(int32_t kind) {
  DidChangeCaller change(this, kValueTypeId);
  if (kind != m_kind) {
    if (m_kind == kString) m_string = nullptr;
    if (m_kind == kPropertyList) m_plist = KsPropertyList();
    // A pointer is only ever the one given to SetPointerValue.
    if (kind == kPointer) m_slot = 0;
  }
  m_kind = kind;
  return AppErr::kNoErr;
}

// ---------------------------------------------------------------------------
// Getters.

float KsValueWrapper::GetFloatValue() const { return m_kind == kFloat ? ReadSlot<float>() : 0.0f; }
int32_t KsValueWrapper::GetIntValue() const { return m_kind == kInt ? ReadSlot<int32_t>() : 0; }
uint32_t KsValueWrapper::GetUIntValue() const { return m_kind == kUInt ? ReadSlot<uint32_t>() : 0u; }
PWStringRef KsValueWrapper::CopyString() const { return m_kind == kString ? m_string : PWStringRef(); }
KsRef<KsObject> KsValueWrapper::GetKsObjectValue() const {
  return m_kind == kObject ? m_object : KsRef<KsObject>();
}
bool KsValueWrapper::GetBooleanValue() const { return m_kind == kBool ? ReadSlot<bool>() : false; }
void* KsValueWrapper::GetPointerValue() const { return m_kind == kPointer ? ReadSlot<void*>() : nullptr; }
KsPointF KsValueWrapper::GetPointFValue() const {
  return m_kind == kPoint ? KsPointF{m_rect.x, m_rect.y} : KsPointF{0, 0};
}
KsSizeF KsValueWrapper::GetSizeFValue() const { return m_kind == kSize ? KsSizeF{m_rect.w, m_rect.h} : KsSizeF{0, 0}; }
KsRectF KsValueWrapper::GetRectFValue() const { return m_kind == kRect ? m_rect : KsRectF(); }
KsColorF KsValueWrapper::GetColorFValue() const { return m_kind == kColor ? m_color : KsColorF{0, 0, 0, 0}; }
double KsValueWrapper::GetDoubleValue() const { return m_kind == kDouble ? ReadSlot<double>() : 0.0; }
KsPropertyList KsValueWrapper::CopyCFType() const { return m_kind == kPropertyList ? m_plist : KsPropertyList(); }
int64_t KsValueWrapper::GetInt64Value() const { return m_kind == kInt64 ? ReadSlot<int64_t>() : 0; }

// ---------------------------------------------------------------------------
// Setters: the value property's scope encloses the "ValueType" one, so the
// kind's notice goes out first and the value's after the store.

eAppErr KsValueWrapper::SetFloatValue(float value) {
  DidChangeCaller change(this, kFloatValueId);
  SetValueType(kFloat);
  WriteSlot(value);
  return AppErr::kNoErr;
}

eAppErr KsValueWrapper::SetIntValue(int32_t value) {
  DidChangeCaller change(this, kIntValueId);
  SetValueType(kInt);
  WriteSlot(value);
  return AppErr::kNoErr;
}

eAppErr KsValueWrapper::SetUIntValue(uint32_t value) {
  DidChangeCaller change(this, kUIntValueId);
  SetValueType(kUInt);
  WriteSlot(value);
  return AppErr::kNoErr;
}

eAppErr KsValueWrapper::SetStringValue(const PWStringRef& value) {
  DidChangeCaller change(this, kStringValueId);
  PWStringRef held = value;  // the caller's string may be our own
  SetValueType(kString);
  m_string = std::move(held);
  return AppErr::kNoErr;
}

eAppErr KsValueWrapper::SetKsObjectValue(const KsRef<KsObject>& value) {
  DidChangeCaller change(this, kKsObjectValueId);
  SetValueType(kObject);
  m_object.Assign(value.Get());
  return AppErr::kNoErr;
}

eAppErr KsValueWrapper::SetBooleanValue(bool value) {
  DidChangeCaller change(this, kBooleanValueId);
  SetValueType(kBool);
  WriteSlot(value);
  return AppErr::kNoErr;
}

eAppErr KsValueWrapper::SetPointerValue(void* value) {
  DidChangeCaller change(this, kPointerValueId);
  SetValueType(kPointer);
  WriteSlot(value);
  return AppErr::kNoErr;
}

eAppErr KsValueWrapper::SetPointFValue(const KsPointF& value) {
  DidChangeCaller change(this, kPointFValueId);
  SetValueType(kPoint);
  m_rect.x = value.x;
  m_rect.y = value.y;
  return AppErr::kNoErr;
}

eAppErr KsValueWrapper::SetSizeFValue(const KsSizeF& value) {
  DidChangeCaller change(this, kSizeFValueId);
  SetValueType(kSize);
  m_rect.w = value.w;
  m_rect.h = value.h;
  return AppErr::kNoErr;
}

eAppErr KsValueWrapper::SetRectFValue(const KsRectF& value) {
  DidChangeCaller change(this, kRectFValueId);
  SetValueType(kRect);
  m_rect = value;
  return AppErr::kNoErr;
}

eAppErr KsValueWrapper::SetColorFValue(const KsColorF& value) {
  DidChangeCaller change(this, kColorFValueId);
  SetValueType(kColor);
  m_color = value;
  return AppErr::kNoErr;
}

eAppErr KsValueWrapper::SetDoubleValue(double value) {
  DidChangeCaller change(this, kDoubleValueId);
  SetValueType(kDouble);
  WriteSlot(value);
  return AppErr::kNoErr;
}

eAppErr KsValueWrapper::SetCFTypeValue(const KsPropertyList& value) {
  DidChangeCaller change(this, kCFTypeValueId);
  KsPropertyList held = value;
  SetValueType(kPropertyList);
  m_plist = std::move(held);
  return AppErr::kNoErr;
}

eAppErr KsValueWrapper::SetInt64Value(int64_t value) {
  DidChangeCaller change(this, kInt64ValueId);
  SetValueType(kInt64);
  WriteSlot(value);
  return AppErr::kNoErr;
}

// ---------------------------------------------------------------------------
// Moving a value between a wrapper and a property.

namespace {

// Reads the property in its own type (the zero value when the read fails) and
// stores it with the wrapper's setter of that kind.
template <class T>
void ReadInto(HcProperty* property, KsObject* object, KsValueWrapper* wrapper,
              eAppErr (KsValueWrapper::*setter)(std::conditional_t<std::is_scalar_v<T>, T, const T&>)) {
  T value{};
  property->GetValue(object, &value);
  (wrapper->*setter)(value);
}

}  // namespace

KsRef<KsValueWrapper> KsValueWrapper::CreateFromProperty(const KsRef<HcProperty>& property,
                                                         const KsRef<KsObject>& object) {
  KsRef<KsValueWrapper> wrapper = KsMakeRef<KsValueWrapper>();
  if (!property) return wrapper;
  HcProperty* p = property.Get();
  KsObject* target = object.Get();
  KsValueWrapper* w = wrapper.Get();
  switch (p->GetPropertyType()) {
    case kFloat: ReadInto<float>(p, target, w, &KsValueWrapper::SetFloatValue); break;
    case kInt: ReadInto<int32_t>(p, target, w, &KsValueWrapper::SetIntValue); break;
    case kUInt: ReadInto<uint32_t>(p, target, w, &KsValueWrapper::SetUIntValue); break;
    case kString: ReadInto<PWStringRef>(p, target, w, &KsValueWrapper::SetStringValue); break;
    case kObject: ReadInto<KsRef<KsObject>>(p, target, w, &KsValueWrapper::SetKsObjectValue); break;
    case kBool: ReadInto<bool>(p, target, w, &KsValueWrapper::SetBooleanValue); break;
    case kPointer: ReadInto<void*>(p, target, w, &KsValueWrapper::SetPointerValue); break;
    case kPoint: ReadInto<KsPointF>(p, target, w, &KsValueWrapper::SetPointFValue); break;
    case kSize: ReadInto<KsSizeF>(p, target, w, &KsValueWrapper::SetSizeFValue); break;
    case kRect: ReadInto<KsRectF>(p, target, w, &KsValueWrapper::SetRectFValue); break;
    case kColor: ReadInto<KsColorF>(p, target, w, &KsValueWrapper::SetColorFValue); break;
    case kDouble: ReadInto<double>(p, target, w, &KsValueWrapper::SetDoubleValue); break;
    case kPropertyList: ReadInto<KsPropertyList>(p, target, w, &KsValueWrapper::SetCFTypeValue); break;
    case kInt64: ReadInto<int64_t>(p, target, w, &KsValueWrapper::SetInt64Value); break;
    default: break;
  }
  return wrapper;
}

eAppErr KsValueWrapper::ApplyToProperty(const KsRef<HcProperty>& property, const KsRef<KsObject>& object) const {
  if (!property) return KS_TRACE_ERR(AppErr::kBadArgument, "ApplyToProperty");
  HcProperty* p = property.Get();
  KsObject* target = object.Get();
  const int32_t type = p->GetPropertyType();
  if (!IsKnownType(type)) return AppErr::kNoErr;
  if (type != m_kind) return ApplyConverted(p, target);
  switch (type) {
    case kFloat: return p->SetValue(target, GetFloatValue());
    case kInt: return p->SetValue(target, GetIntValue());
    case kUInt: return p->SetValue(target, GetUIntValue());
    case kString: return p->SetValue(target, CopyString());
    case kObject: return p->SetValue(target, GetKsObjectValue());
    case kBool: return p->SetValue(target, GetBooleanValue());
    case kPointer: return p->SetValue(target, GetPointerValue());
    case kPoint: return p->SetValue(target, GetPointFValue());
    case kSize: return p->SetValue(target, GetSizeFValue());
    case kRect: return p->SetValue(target, GetRectFValue());
    case kColor: return p->SetValue(target, GetColorFValue());
    case kDouble: return p->SetValue(target, GetDoubleValue());
    case kPropertyList: return p->SetValue(target, CopyCFType());
    case kInt64: return p->SetValue(target, GetInt64Value());
    default: return AppErr::kNoErr;
  }
}

namespace {

bool IsNumericKind(int32_t kind) {
  return kind == kFloat || kind == kInt || kind == kUInt || kind == kDouble || kind == kInt64;
}

// A numeric value as it was held: an integer, or a floating-point number.
struct HeldNumber {
  bool isReal = false;
  int64_t integer = 0;
  double real = 0;
};

// The number in T, or false when T cannot hold it.
template <class T>
bool ConvertNumber(const HeldNumber& number, T* out) {
  if constexpr (std::is_floating_point_v<T>) {
    const double value = number.isReal ? number.real : static_cast<double>(number.integer);
    if (std::isfinite(value) && std::fabs(value) > static_cast<double>(std::numeric_limits<T>::max())) return false;
    *out = static_cast<T>(value);
    return true;
  } else if (number.isReal) {
    if (!std::isfinite(number.real)) return false;
    const double rounded = std::round(number.real);
    // max() + 1 is a power of two and exact as a double, unlike max() of 64 bits.
    const double limit = static_cast<double>(std::numeric_limits<T>::max() / 2 + 1) * 2.0;
    if (rounded < static_cast<double>(std::numeric_limits<T>::min()) || rounded >= limit) return false;
    *out = static_cast<T>(rounded);
    return true;
  } else {
    if (!std::in_range<T>(number.integer)) return false;
    *out = static_cast<T>(number.integer);
    return true;
  }
}

}  // namespace

template <class T>
eAppErr KsValueWrapper::ApplyNumber(HcProperty* property, KsObject* object) const {
  HeldNumber number;
  switch (m_kind) {
    case kFloat: number = {true, 0, GetFloatValue()}; break;
    case kDouble: number = {true, 0, GetDoubleValue()}; break;
    case kInt: number.integer = GetIntValue(); break;
    case kUInt: number.integer = GetUIntValue(); break;
    case kInt64: number.integer = GetInt64Value(); break;
    default: return KS_TRACE_ERR(AppErr::kUnsupportedType, "ApplyToProperty");
  }
  T value{};
  if (!ConvertNumber(number, &value)) return KS_TRACE_ERR(AppErr::kOutOfRange, "ApplyToProperty");
  return property->SetValue(object, value);
}

eAppErr KsValueWrapper::ApplyConverted(HcProperty* property, KsObject* object) const {
  const int32_t type = property->GetPropertyType();
  if (!IsNumericKind(type) || !IsNumericKind(m_kind)) return KS_TRACE_ERR(AppErr::kUnsupportedType, "ApplyToProperty");
  switch (type) {
    case kFloat: return ApplyNumber<float>(property, object);
    case kDouble: return ApplyNumber<double>(property, object);
    case kInt: return ApplyNumber<int32_t>(property, object);
    case kUInt: return ApplyNumber<uint32_t>(property, object);
    default: return ApplyNumber<int64_t>(property, object);
  }
}
