#pragma once

// Object paths: text naming one object of a graph relative to a root object,
// for example "hc://View.Regions[0].View". After the scheme "hc://" (any
// letter case) come parts:
//   Name or .Name   the value of the object-typed property Name (any case)
//   {Text}          the element of a collection whose name is Text (exact case)
//   [N]             the element at zero-based position N of a collection
//   (UUID)          the element of a collection with that UUID
// A part ends before the next of the delimiters "[]{}.()"; a closer ("}])")
// is consumed with its part. The empty path and "hc://" name the root.

#include <cstdint>

#include "General/RefTempl.h"
#include "KsAppErr.h"
#include "PWString.h"

class KsObject;
class HcProperty;

enum class ObjectPathPartKind : int32_t { kProperty = 0, kName = 1, kIndex = 2, kUUID = 3 };

// A part of a path before the last reached no object.
inline constexpr eAppErr kObjectPathBroken = -905;

// The most parts one path may have; a longer path is refused with -901
// before anything past the limit is looked at.
inline constexpr uint32_t kMaxObjectPathParts = 1024;

// The scheme every full path starts with (compared without regard to case).
inline constexpr const char* kObjectPathScheme = "hc://";

// Splits the first part off a path without scheme: its kind, its text, and
// the remaining path (null when nothing follows). -2 for a missing argument.
eAppErr SplitObjectPath(const PWStringRef& path, ObjectPathPartKind* kind, PWStringRef* text, PWStringRef* rest);

// Resolves the first part of a path without scheme against the current
// object. The result (possibly none) is stored on success and on failure of
// the part; `property` (optional) receives the descriptor the object was
// reached through, `rest` (optional) the remaining path.
eAppErr ResolveFirstObjectInPath(const PWStringRef& path, const KsRef<KsObject>& current, KsRef<KsObject>* result,
                                 KsRef<HcProperty>* property = nullptr, PWStringRef* rest = nullptr);

// Resolves a whole path without scheme from the root. -905 when a part before
// the last reached no object, -901 for more than kMaxObjectPathParts parts
// (the result is then left as it was).
eAppErr ResolveObjectPathInternal(const PWStringRef& path, const KsRef<KsObject>& root, KsRef<KsObject>* result,
                                  KsRef<HcProperty>* property = nullptr);

// Resolves a full path ("hc://…", or a root path) from the root. A path with
// any other scheme, or too short to hold one, is -2.
eAppErr ResolveObjectPath(const PWStringRef& path, const KsRef<KsObject>& root, KsRef<KsObject>* result,
                          KsRef<HcProperty>* property = nullptr);

// True for a null or empty path and for "hc://" in any letter case.
bool IsRootObjectPath(const PWStringRef& path);

// True when the text starts with "hc://" in any letter case.
bool HasObjectPathScheme(const PWStringRef& path);
