#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "General/KsStringCollection.h"
#include "General/KsTypeSafeCollection.h"
#include "General/StringStringTuple.h"
#include "PWString.h"

class Emitter;

namespace hc::foundation {
class ByteHandle;
}
namespace hc::movfile {
class AtomContainer;
}

// The root object of an object graph that HcML is loaded into and written
// from at object paths ("hc://Viewsets", "hc://PlanarSource"). Text is read
// with the lexer its LexerName names ("XMLLexer" to begin with); atom
// containers always with "AtomLexer". The root object of a load is resolved
// before parsing and never created.
//
// Creating "KsContextHelper" by class name yields nothing: the class is made
// directly, as the base part of a scene or document, or as a throw-away root
// on the stack.
//
// A load reads files under the file-access policy in force on the calling
// thread (FileAccessPolicy::Scope): a caller loading an untrusted graph opens
// a restricted scope around the load.
class KsContextHelper : public KsObject {
  HC_CLASS_HEADER(KsContextHelper)
 public:
  enum : int32_t { kLexerNameId = 200 };
  using SuppressionList = KsRef<KsTypeSafeCollection<StringStringTuple>>;

  KsContextHelper();
  ~KsContextHelper() override;

  PWStringRef GetLexerName() const { return m_lexerName; }
  eAppErr SetLexerName(const PWStringRef& name);

  // Writes the graph at the path through the emitter, relative to this
  // object. rootPropsAsRefs must be true (every caller writes the root's
  // properties as references). The first failing step's error, traced.
  eAppErr GetXXXAtPath(const PWStringRef& path, bool extendByReference,
                       const KsRef<KsStringCollection>& explicitPropertyList, const KsRef<Emitter>& emitter,
                       bool rootPropsAsRefs = true);
  // The graph at the path as a new atom container; null when writing fails.
  std::unique_ptr<hc::movfile::AtomContainer> GetAtomContainerAtPath(
      const PWStringRef& path, bool extendByReference, const KsRef<KsStringCollection>& explicitPropertyList,
      bool rootPropsAsRefs = true);
  // The graph at the path as HcML text; null when writing fails (never a
  // partial document).
  PWStringRef GetHcMLAtPath(const PWStringRef& path, bool extendByReference = false,
                            const KsRef<KsStringCollection>& explicitPropertyList = {}, bool rootPropsAsRefs = true);

  // Float properties of the object at a path: failures are logged; a read
  // that fails gives 0.0, a write answers its error.
  float GetFloatAtPath(const PWStringRef& objectPath, const PWStringRef& propertyName);
  eAppErr SetFloatAtPath(const PWStringRef& objectPath, const PWStringRef& propertyName, float value);

  // Parses HcML text into the object at the root path (this object without
  // one). False, logged, for a root path that resolves to nothing (nothing is
  // parsed then) and for a parse error (objects made before it stay).
  bool LoadHcML(const PWStringRef& text);
  bool LoadHcML(const PWStringRef& text, const PWStringRef& rootPath);
  bool LoadHcML(const PWStringRef& text, const PWStringRef& rootPath, const SuppressionList& suppression);
  // The same with the error: -903 for an unresolvable root, else the parse's.
  eAppErr LoadHcMLWithResult(const PWStringRef& text, const PWStringRef& rootPath,
                             const SuppressionList& suppression = {});
  // The flattened bytes of an atom container, read with "AtomLexer".
  bool LoadHcMLFromAtoms(const void* bytes, size_t size, const PWStringRef& rootPath,
                         const SuppressionList& suppression = {});
  bool LoadHcMLFromHandle(const hc::foundation::ByteHandle& handle, const PWStringRef& rootPath,
                          const SuppressionList& suppression = {});

 private:
  eAppErr LoadWithLexer(const PWStringRef& lexerName, const void* bytes, size_t size, const PWStringRef& rootPath,
                        const SuppressionList& suppression);

  PWStringRef m_lexerName;
};
HC_CLASS_OBJECT(KsContextHelper, KsObject)
