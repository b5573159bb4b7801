#include "Utilities/HcProperty.h"

#include <locale.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "General/KsClassObject.h"
#include "General/KsObject.h"
#include "KsTrace.h"
#include "platform/foundation/PlistValue.h"
#include "platform/foundation/PlistXml.h"

HcProperty::HcProperty() {
  Setup(kIndexed, false, KsRef<KsClassObject>(), 0, KsPropertyType::kNone, PWStringRef(), false,
        KsRef<KsClassObject>());
}

void HcProperty::Setup(int32_t accessorKind, bool isCollectionProperty, const KsRef<KsClassObject>& exposingClass,
                       int32_t propertyId, int32_t propertyType, const PWStringRef& name, bool shouldSerialize,
                       const KsRef<KsClassObject>& typeClass) {
  m_accessorKind = accessorKind;
  m_isCollectionProperty = isCollectionProperty;
  m_exposingClass = WeakRef::GetWeakRef(exposingClass.Get());
  m_propertyId = propertyId;
  m_propertyType = propertyType;
  m_name = name;
  m_shouldSerialize = shouldSerialize;
  m_typeClass = WeakRef::GetWeakRef(typeClass.Get());
}

KsRef<KsClassObject> HcProperty::GetPropertyTypeClass() const {
  return WeakRef::GetTarget(m_typeClass.Get()).DynamicCast<KsClassObject>();
}

KsRef<KsClassObject> HcProperty::GetExposingClass() const {
  return WeakRef::GetTarget(m_exposingClass.Get()).DynamicCast<KsClassObject>();
}

PWStringRef HcProperty::GetSchemaTypeName() const {
  if (m_propertyType == KsPropertyType::kNone) return "UNKNOWN";
  if (const char* name = KsPropertyType::SchemaTypeName(m_propertyType)) return name;
  KsRef<KsClassObject> typeClass = GetPropertyTypeClass();
  return typeClass ? PWStringRef(typeClass->GetImplName()) : PWStringRef("UNKNOWN");
}

eAppErr HcProperty::Unsupported(const char* method) { return KS_TRACE_ERR(AppErr::kUnsupportedType, method); }

#define HC_UNSUPPORTED_PAIR(SetType, GetType)                                                    \
  eAppErr HcProperty::SetValue(KsObject*, SetType) { return Unsupported("SetValue"); }          \
  eAppErr HcProperty::GetValue(KsObject*, GetType) { return Unsupported("GetValue"); }

HC_UNSUPPORTED_PAIR(float, float*)
HC_UNSUPPORTED_PAIR(double, double*)
HC_UNSUPPORTED_PAIR(uint32_t, uint32_t*)
HC_UNSUPPORTED_PAIR(int64_t, int64_t*)
HC_UNSUPPORTED_PAIR(const KsRef<KsObject>&, KsRef<KsObject>*)
HC_UNSUPPORTED_PAIR(bool, bool*)
HC_UNSUPPORTED_PAIR(int32_t, int32_t*)
HC_UNSUPPORTED_PAIR(void*, void**)
HC_UNSUPPORTED_PAIR(const KsRectF&, KsRectF*)
HC_UNSUPPORTED_PAIR(const KsSizeF&, KsSizeF*)
HC_UNSUPPORTED_PAIR(const KsPointF&, KsPointF*)
HC_UNSUPPORTED_PAIR(const KsColorF&, KsColorF*)
HC_UNSUPPORTED_PAIR(const KsPropertyList&, KsPropertyList*)
#undef HC_UNSUPPORTED_PAIR

eAppErr HcProperty::GetValue(KsObject*, PWStringRef*) { return Unsupported("GetValue"); }

eAppErr HcProperty::SetValue(KsObject* target, const PWStringRef& text) { return SetValueFromText(target, text); }

namespace {

// Parses text and hands the value to the typed setter. A setter that refuses
// the value (or its absence) is passed on, so a loader can warn about it;
// other statuses of the setter count as success.
template <class T, class Parser>
eAppErr ConvertAndSet(HcProperty* property, KsObject* target, const PWStringRef& text, Parser parse) {
  T value{};
  const eAppErr err = parse(text, &value);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetValue");
  const eAppErr setErr = property->SetValue(target, value);
  return AppErrFailed(setErr) ? setErr : AppErr::kNoErr;
}

}  // namespace

eAppErr HcProperty::SetValueFromText(KsObject* target, const PWStringRef& text) {
  switch (m_propertyType) {
    case KsPropertyType::kString: return KS_TRACE_ERR(AppErr::kUnsupportedType, "SetValue");
    case KsPropertyType::kFloat: return ConvertAndSet<float>(this, target, text, ParseFloat);
    case KsPropertyType::kInt: return ConvertAndSet<int32_t>(this, target, text, ParseInt);
    case KsPropertyType::kUInt: return ConvertAndSet<uint32_t>(this, target, text, ParseUInt);
    case KsPropertyType::kDouble: return ConvertAndSet<double>(this, target, text, ParseDouble);
    case KsPropertyType::kInt64: return ConvertAndSet<int64_t>(this, target, text, ParseInt64);
    case KsPropertyType::kBool: return ConvertAndSet<bool>(this, target, text, ParseBoolean);
    case KsPropertyType::kPoint: return ConvertAndSet<KsPointF>(this, target, text, ParsePointF);
    case KsPropertyType::kSize: return ConvertAndSet<KsSizeF>(this, target, text, ParseSizeF);
    case KsPropertyType::kRect: return ConvertAndSet<KsRectF>(this, target, text, ParseRectF);
    case KsPropertyType::kColor: return ConvertAndSet<KsColorF>(this, target, text, ParseColorF);
    case KsPropertyType::kPropertyList: return ConvertAndSet<KsPropertyList>(this, target, text, ParsePropertyList);
    default:
      // Objects and pointers have no text form: a pointer is never set from text.
      return KS_TRACE_ERR(AppErr::kTextNotConvertible, "SetValue");
  }
}

// ---------------------------------------------------------------------------
// Text parsers. They follow the C library's scanf conversions, but always in
// the C locale, and refuse numbers outside the target type's range.

namespace {

locale_t CLocale() {
  static locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return locale;
}

bool IsScanSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

const char* SkipSpace(const char* p) {
  while (IsScanSpace(*p)) ++p;
  return p;
}

// One "%f" conversion; advances p past the number.
bool ScanFloat(const char*& p, float* value) {
  p = SkipSpace(p);
  char* end = nullptr;
  errno = 0;
  const float parsed = strtof_l(p, &end, CLocale());
  if (end == p) return false;
  if (errno == ERANGE && std::isinf(parsed)) return false;
  *value = parsed;
  p = end;
  return true;
}

// Matches a scanf form whose only conversions are "%f": a blank matches any
// run of white space (none included), other characters must match exactly.
// Answers the number of conversions made.
int ScanFloatForm(const char* text, const char* form, float* values, int maxValues) {
  const char* p = text;
  int converted = 0;
  for (const char* f = form; *f; ++f) {
    if (*f == ' ') {
      p = SkipSpace(p);
    } else if (f[0] == '%' && f[1] == 'f') {
      if (converted == maxValues || !ScanFloat(p, &values[converted])) break;
      ++converted;
      ++f;
    } else {
      if (*p != *f) break;
      ++p;
    }
  }
  return converted;
}

template <class T>
eAppErr ScanInteger(const PWStringRef& text, T* value, int base, const char* method) {
  const char* p = SkipSpace(text.CStr() ? text.CStr() : "");
  char* end = nullptr;
  errno = 0;
  if constexpr (std::is_signed_v<T>) {
    const long long parsed = strtoll_l(p, &end, base, CLocale());
    if (end == p || errno == ERANGE || parsed < std::numeric_limits<T>::min() ||
        parsed > std::numeric_limits<T>::max()) {
      return KS_TRACE_ERR(AppErr::kOutOfRange, method);
    }
    *value = static_cast<T>(parsed);
  } else {
    if (*p == '-') return KS_TRACE_ERR(AppErr::kOutOfRange, method);
    const unsigned long long parsed = strtoull_l(p, &end, base, CLocale());
    if (end == p || errno == ERANGE || parsed > std::numeric_limits<T>::max()) {
      return KS_TRACE_ERR(AppErr::kOutOfRange, method);
    }
    *value = static_cast<T>(parsed);
  }
  return AppErr::kNoErr;
}

bool AllFinite(const float* values, int count) {
  for (int i = 0; i < count; ++i) {
    if (!std::isfinite(values[i])) return false;
  }
  return true;
}

// Points, sizes, rectangles and colours are geometry: "nan" and "inf" read
// as numbers, but no record may hold them.
eAppErr ScanRecord(const PWStringRef& text, const char* form, float* values, int needed, const char* method) {
  if (ScanFloatForm(text.CStr() ? text.CStr() : "", form, values, needed) != needed || !AllFinite(values, needed)) {
    return KS_TRACE_ERR(AppErr::kOutOfRange, method);
  }
  return AppErr::kNoErr;
}

}  // namespace

eAppErr ParseFloat(const PWStringRef& text, float* value) {
  float parsed = 0;
  if (ScanFloatForm(text.CStr() ? text.CStr() : "", "%f", &parsed, 1) != 1) {
    return KS_TRACE_ERR(AppErr::kOutOfRange, "ParseFloat");
  }
  *value = parsed;
  return AppErr::kNoErr;
}

eAppErr ParseDouble(const PWStringRef& text, double* value) {
  const char* p = SkipSpace(text.CStr() ? text.CStr() : "");
  char* end = nullptr;
  errno = 0;
  const double parsed = strtod_l(p, &end, CLocale());
  if (end == p || (errno == ERANGE && std::isinf(parsed))) return KS_TRACE_ERR(AppErr::kOutOfRange, "ParseDouble");
  *value = parsed;
  return AppErr::kNoErr;
}

eAppErr ParseInt(const PWStringRef& text, int32_t* value) { return ScanInteger(text, value, 0, "ParseInt"); }
eAppErr ParseUInt(const PWStringRef& text, uint32_t* value) { return ScanInteger(text, value, 10, "ParseUInt"); }
eAppErr ParseInt64(const PWStringRef& text, int64_t* value) { return ScanInteger(text, value, 0, "ParseInt64"); }

eAppErr ParseBoolean(const PWStringRef& text, bool* value) {
  const std::string_view t = text.View();
  if (PWStringEqualNoCase(t, "true") || PWStringEqualNoCase(t, "yes")) {
    *value = true;
  } else if (PWStringEqualNoCase(t, "false") || PWStringEqualNoCase(t, "no")) {
    *value = false;
  } else {
    return KS_TRACE_ERR(AppErr::kOutOfRange, "ParseBoolean");
  }
  return AppErr::kNoErr;
}

eAppErr ParsePointF(const PWStringRef& text, KsPointF* value) {
  float v[2];
  if (eAppErr err = ScanRecord(text, "x = %f y = %f", v, 2, "ParsePointF")) return err;
  *value = {v[0], v[1]};
  return AppErr::kNoErr;
}

eAppErr ParseSizeF(const PWStringRef& text, KsSizeF* value) {
  float v[2];
  if (eAppErr err = ScanRecord(text, "w = %f h = %f", v, 2, "ParseSizeF")) return err;
  *value = {v[0], v[1]};
  return AppErr::kNoErr;
}

eAppErr ParseRectF(const PWStringRef& text, KsRectF* value) {
  float v[4];
  if (eAppErr err = ScanRecord(text, "x = %f y = %f w = %f h = %f", v, 4, "ParseRectF")) return err;
  *value = KsRectF(v[0], v[1], v[2], v[3]);
  return AppErr::kNoErr;
}

eAppErr ParseColorF(const PWStringRef& text, KsColorF* value) {
  float v[4] = {0, 0, 0, 1.0f};
  const int converted = ScanFloatForm(text.CStr() ? text.CStr() : "", "r = %f g = %f b = %f a = %f", v, 4);
  if ((converted != 3 && converted != 4) || !AllFinite(v, converted)) {
    return KS_TRACE_ERR(AppErr::kOutOfRange, "ParseColorF");
  }
  if (converted == 3) v[3] = 1.0f;
  *value = {v[0], v[1], v[2], v[3]};
  return AppErr::kNoErr;
}

eAppErr ParsePropertyList(const PWStringRef& text, KsPropertyList* value) {
  hc::foundation::PlistValue parsed;
  const hc::foundation::FoundationErr err = hc::foundation::PlistXml::Read(text.View(), &parsed);
  if (hc::foundation::FoundationFailed(err)) {
    KS_TRACE(KsTrace::kWarning, "Property list does not parse: %s", hc::foundation::FoundationErrName(err));
    *value = KsPropertyList();
    return AppErr::kNoErr;
  }
  *value = KsPropertyList(std::make_shared<const hc::foundation::PlistValue>(std::move(parsed)));
  return AppErr::kNoErr;
}
