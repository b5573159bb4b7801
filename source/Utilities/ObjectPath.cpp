#include "Utilities/ObjectPath.h"

#include <cstdio>
#include <cstring>
#include <string_view>

#include "General/KsClassObject.h"
#include "General/KsObject.h"
#include "General/KsObjectCollectionBase.h"
#include "KsTrace.h"
#include "Utilities/HcProperty.h"
#include "Utilities/KsPropertyType.h"
#include "Utilities/UUIDHelpers.h"

namespace {

constexpr size_t kSchemeLength = 5;
constexpr std::string_view kDelimiters = "[]{}.()";
constexpr std::string_view kClosers = "}])";

ObjectPathPartKind KindOfIntroducer(char c) {
  switch (c) {
    case '{': return ObjectPathPartKind::kName;
    case '[': return ObjectPathPartKind::kIndex;
    case '(': return ObjectPathPartKind::kUUID;
    default: return ObjectPathPartKind::kProperty;
  }
}

bool HasIntroducer(char c) { return c == '.' || c == '{' || c == '[' || c == '('; }

// The object-typed property of that name on the current object.
eAppErr ResolveProperty(const KsRef<KsObject>& current, const PWStringRef& name, KsRef<KsObject>* result,
                        KsRef<HcProperty>* property) {
  KsRef<KsClassObject> classObject = current->GetClassObject();
  if (!classObject) return AppErr::kBadArgument;
  KsRef<HcProperty> found = classObject->FindProperty(name);
  if (!found) return AppErr::kNotFound;
  if (property) *property = found;
  if (!KsPropertyType::IsObjectType(found->GetPropertyType())) return AppErr::kBadArgument;
  return found->GetValue(current.Get(), result);
}

KsObjectCollectionBase* ResolveCollectionCore(const KsRef<KsObject>& current, KsRef<HcProperty>* property) {
  auto* collection = dynamic_cast<KsObjectCollectionBase*>(current.Get());
  if (collection && property) {
    KsRef<KsClassObject> classObject = current->GetClassObject();
    if (classObject) classObject->GetElementProperty(*property);
  }
  return collection;
}

eAppErr ResolveByName(const KsRef<KsObject>& current, const PWStringRef& name, KsRef<KsObject>* result,
                      KsRef<HcProperty>* property) {
  KsObjectCollectionBase* collection = ResolveCollectionCore(current, property);
  if (!collection) return AppErr::kBadArgument;
  return collection->GetObjectByName(name, result);
}

eAppErr ResolveByNumber(const KsRef<KsObject>& current, const PWStringRef& text, KsRef<KsObject>* result,
                        KsRef<HcProperty>* property) {
  KsObjectCollectionBase* collection = ResolveCollectionCore(current, property);
  if (!collection) return AppErr::kBadArgument;
  unsigned int index = 0;
  // "%u" as the C library reads it: leading blanks, then digits; a minus sign
  // wraps around to a huge index that no collection has.
  if (std::sscanf(text.CStr() ? text.CStr() : "", "%u", &index) != 1) return AppErr::kBadArgument;
  return collection->GetObjectByIndex(index, result);
}

eAppErr ResolveByUUID(const KsRef<KsObject>& current, const PWStringRef& text, KsRef<KsObject>* result,
                      KsRef<HcProperty>* property) {
  KsObjectCollectionBase* collection = ResolveCollectionCore(current, property);
  if (!collection) return AppErr::kBadArgument;
  const hc::foundation::Uuid uuid = CreateUUIDFromCString(text.CStr());
  if (uuid.IsNull()) return AppErr::kBadArgument;
  return collection->GetByUUID(uuid, result);
}

}  // namespace

bool HasObjectPathScheme(const PWStringRef& path) {
  const std::string_view text = path.View();
  return text.size() >= kSchemeLength && PWStringEqualNoCase(text.substr(0, kSchemeLength), kObjectPathScheme);
}

bool IsRootObjectPath(const PWStringRef& path) {
  return path.IsEmpty() || PWStringEqualNoCase(path.View(), kObjectPathScheme);
}

eAppErr SplitObjectPath(const PWStringRef& path, ObjectPathPartKind* kind, PWStringRef* text, PWStringRef* rest) {
  if (path.IsNull() || !kind || !text || !rest) return KS_TRACE_ERR(AppErr::kBadArgument, "SplitObjectPath");
  const std::string_view s = path.View();
  const size_t start = (!s.empty() && HasIntroducer(s[0])) ? 1 : 0;
  *kind = s.empty() ? ObjectPathPartKind::kProperty : KindOfIntroducer(s[0]);
  const size_t delimiter = s.size() > 1 ? s.find_first_of(kDelimiters, 1) : std::string_view::npos;
  if (delimiter == std::string_view::npos) {
    *text = PWStringRef(s.substr(std::min(start, s.size())));
    *rest = PWStringRef();
    return AppErr::kNoErr;
  }
  *text = PWStringRef(delimiter > start ? s.substr(start, delimiter - start) : std::string_view());
  const size_t next = kClosers.find(s[delimiter]) != std::string_view::npos ? delimiter + 1 : delimiter;
  *rest = next < s.size() ? PWStringRef(s.substr(next)) : PWStringRef();
  return AppErr::kNoErr;
}

eAppErr ResolveFirstObjectInPath(const PWStringRef& path, const KsRef<KsObject>& current, KsRef<KsObject>* result,
                                 KsRef<HcProperty>* property, PWStringRef* rest) {
  if (!result) return KS_TRACE_ERR(AppErr::kBadArgument, "ResolveFirstObjectInPath");
  if (!current) {
    KS_TRACE(KsTrace::kVerbose, "No binding context!");
    return KS_TRACE_ERR(AppErr::kBadArgument, "ResolveFirstObjectInPath");
  }
  if (path.IsNull()) {
    KS_TRACE(KsTrace::kVerbose, "No path!");
    return KS_TRACE_ERR(AppErr::kBadArgument, "ResolveFirstObjectInPath");
  }
  ObjectPathPartKind kind = ObjectPathPartKind::kProperty;
  PWStringRef text;
  PWStringRef remaining;
  const eAppErr splitErr = SplitObjectPath(path, &kind, &text, &remaining);
  if (AppErrFailed(splitErr)) return splitErr;
  if (rest) *rest = remaining;
  if (property) *property = nullptr;

  KsRef<KsObject> found;
  eAppErr err = AppErr::kNoErr;
  switch (kind) {
    case ObjectPathPartKind::kProperty: err = ResolveProperty(current, text, &found, property); break;
    case ObjectPathPartKind::kName: err = ResolveByName(current, text, &found, property); break;
    case ObjectPathPartKind::kIndex: err = ResolveByNumber(current, text, &found, property); break;
    case ObjectPathPartKind::kUUID: err = ResolveByUUID(current, text, &found, property); break;
  }
  if (AppErrFailed(err)) found = nullptr;
  *result = found;
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "ResolveFirstObjectInPath");
  return AppErr::kNoErr;
}

eAppErr ResolveObjectPathInternal(const PWStringRef& path, const KsRef<KsObject>& root, KsRef<KsObject>* result,
                                  KsRef<HcProperty>* property) {
  if (path.IsNull() || !root || !result) return KS_TRACE_ERR(AppErr::kBadArgument, "ResolveObjectPathInternal");
  KsRef<KsObject> current = root;
  PWStringRef remaining = path;
  eAppErr err = AppErr::kNoErr;
  while (current && !remaining.IsNull()) {
    PWStringRef rest;
    KsRef<KsObject> next;
    err = ResolveFirstObjectInPath(remaining, current, &next, property, &rest);
    current = next;
    remaining = rest;
    if (!remaining.IsNull() && !current) return KS_TRACE_ERR(kObjectPathBroken, "ResolveObjectPathInternal");
  }
  *result = current;
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "ResolveObjectPathInternal");
  return AppErr::kNoErr;
}

eAppErr ResolveObjectPath(const PWStringRef& path, const KsRef<KsObject>& root, KsRef<KsObject>* result,
                          KsRef<HcProperty>* property) {
  if (!result) return KS_TRACE_ERR(AppErr::kBadArgument, "ResolveObjectPath");
  if (IsRootObjectPath(path)) {
    *result = root;
    return AppErr::kNoErr;
  }
  // Only our own scheme, in any letter case: a path of another scheme names
  // nothing here.
  if (path.ByteLength() <= kSchemeLength || !HasObjectPathScheme(path)) {
    return KS_TRACE_ERR(AppErr::kBadArgument, "ResolveObjectPath");
  }
  const eAppErr err = ResolveObjectPathInternal(PWStringRef(path.View().substr(kSchemeLength)), root, result, property);
  if (AppErrFailed(err)) {
    KS_TRACE(KsTrace::kWarning, "Path %@ failed to resolve (%i)", path, err);
    return KS_TRACE_ERR(err, "ResolveObjectPath");
  }
  return AppErr::kNoErr;
}
