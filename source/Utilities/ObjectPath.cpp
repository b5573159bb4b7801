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

namespace {

// One part of a path: views into the caller's text, so that walking a path
// copies each part once and never the rest.
struct PathPart {
  ObjectPathPartKind kind = ObjectPathPartKind::kProperty;
  std::string_view text;
  std::string_view rest;
  bool hasRest = false;
};

PathPart SplitPart(std::string_view s) {
  PathPart part;
  const size_t start = (!s.empty() && HasIntroducer(s[0])) ? 1 : 0;
  part.kind = s.empty() ? ObjectPathPartKind::kProperty : KindOfIntroducer(s[0]);
  const size_t delimiter = s.size() > 1 ? s.find_first_of(kDelimiters, 1) : std::string_view::npos;
  if (delimiter == std::string_view::npos) {
    part.text = s.substr(std::min(start, s.size()));
    return part;
  }
  if (delimiter > start) part.text = s.substr(start, delimiter - start);
  const size_t next = kClosers.find(s[delimiter]) != std::string_view::npos ? delimiter + 1 : delimiter;
  if (next < s.size()) {
    part.rest = s.substr(next);
    part.hasRest = true;
  }
  return part;
}

eAppErr ResolvePart(const PathPart& part, const KsRef<KsObject>& current, KsRef<KsObject>* result,
                    KsRef<HcProperty>* property) {
  if (property) *property = nullptr;
  const PWStringRef text(part.text);
  KsRef<KsObject> found;
  eAppErr err = AppErr::kNoErr;
  switch (part.kind) {
    case ObjectPathPartKind::kProperty: err = ResolveProperty(current, text, &found, property); break;
    case ObjectPathPartKind::kName: err = ResolveByName(current, text, &found, property); break;
    case ObjectPathPartKind::kIndex: err = ResolveByNumber(current, text, &found, property); break;
    case ObjectPathPartKind::kUUID: err = ResolveByUUID(current, text, &found, property); break;
  }
  if (AppErrFailed(err)) found = nullptr;
  *result = found;
  return err;
}

}  // namespace

eAppErr SplitObjectPath(const PWStringRef& path, ObjectPathPartKind* kind, PWStringRef* text, PWStringRef* rest) {
  if (path.IsNull() || !kind || !text || !rest) return KS_TRACE_ERR(AppErr::kBadArgument, "SplitObjectPath");
  const PathPart part = SplitPart(path.View());
  *kind = part.kind;
  *text = PWStringRef(part.text);
  *rest = part.hasRest ? PWStringRef(part.rest) : PWStringRef();
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
  const PathPart part = SplitPart(path.View());
  if (rest) *rest = part.hasRest ? PWStringRef(part.rest) : PWStringRef();
  const eAppErr err = ResolvePart(part, current, result, property);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "ResolveFirstObjectInPath");
  return AppErr::kNoErr;
}

eAppErr ResolveObjectPathInternal(const PWStringRef& path, const KsRef<KsObject>& root, KsRef<KsObject>* result,
                                  KsRef<HcProperty>* property) {
  if (path.IsNull() || !root || !result) return KS_TRACE_ERR(AppErr::kBadArgument, "ResolveObjectPathInternal");
  KsRef<KsObject> current = root;
  // The path's own text stays alive in `path` while the walk looks at it.
  std::string_view remaining = path.View();
  bool more = true;
  uint32_t hops = 0;
  eAppErr err = AppErr::kNoErr;
  while (current && more) {
    if (++hops > kMaxObjectPathParts) {
      KS_TRACE(KsTrace::kWarning, "Path of more than %u parts refused", kMaxObjectPathParts);
      return KS_TRACE_ERR(AppErr::kOutOfRange, "ResolveObjectPathInternal");
    }
    const PathPart part = SplitPart(remaining);
    KsRef<KsObject> next;
    err = ResolvePart(part, current, &next, property);
    current = next;
    remaining = part.rest;
    more = part.hasRest;
    if (more && !current) return KS_TRACE_ERR(kObjectPathBroken, "ResolveObjectPathInternal");
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
