#pragma once

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "General/KsStringCollection.h"
#include "Utilities/Emitter.h"
#include "Utilities/LocalPathResolver.h"

// Writes one object tree as one document of Emitter events: the root
// property (named RootElementName), the target object with the id
// "rootObject", then its serialized properties depth first. An object met a
// second time is written as a reference ("#" and the id it got, "obj1",
// "obj2", … in order of first encounter). Relative to a ContextObject, the
// objects the context holds directly are written as "hc://" + property name
// references instead of being copied.
class ObjectWriter : public KsObject {
  HC_CLASS_HEADER(ObjectWriter)
 public:
  enum : int32_t {
    kEmitterId = 200,
    kRootElementNameId = 201,
    kContextObjectId = 202,
    kExplicitPropertyListId = 203,
    kExtendByReferenceId = 204,
    kXsiTypeNameId = 205,
    kTargetPathId = 206,
    kRootObjectHREFId = 207,
    kTargetObjectId = 208,
    kIncludeNonSerializedId = 209,
    kShallowWriteId = 210,
    kOutputPathResolverId = 211,
  };

  // The deepest nesting of objects written (the top-level object is level
  // 1): every reader takes back what the writer wrote, values included. An
  // object below it is written without its properties and the write fails
  // with kNestedTooDeeply, so that no graph (a chain of objects each holding
  // the next, say) runs the writer's stack out.
  static constexpr uint32_t kMaxObjectDepth = 255;
  static constexpr eAppErr kNestedTooDeeply = AppErr::kOutOfRange;

  // The emitter starts as a new XMLStringEmitter.
  ObjectWriter();
  ~ObjectWriter() override;

  // Writes TargetObject through Emitter. -903 without a target or an
  // emitter; kNestedTooDeeply for objects nested too deeply; otherwise the first failure the emitter met (a full disk is not
  // success), or 0.
  eAppErr WriteObject();

  // Resolves the path in the context object and makes its object the target;
  // the root element is named after the path's last property, or after the
  // context's class when the path names the context itself.
  eAppErr SetTargetPath(const PWStringRef& path);
  PWStringRef GetTargetPath() const { return m_targetPath; }
  // Null or empty clears the type override; -2 for an unknown class name.
  eAppErr SetXsiTypeName(const PWStringRef& name);
  PWStringRef GetXsiTypeName() const;
  eAppErr SetTargetObject(const KsRef<KsObject>& object);
  KsRef<KsObject> GetTargetObject() const { return m_targetObject; }

  KsRef<Emitter> GetEmitter() const { return m_emitter; }
  eAppErr SetEmitter(const KsRef<Emitter>& emitter);
  PWStringRef GetRootElementName() const { return m_rootElementName; }
  eAppErr SetRootElementName(const PWStringRef& name);
  KsRef<KsObject> GetContextObject() const { return m_contextObject; }
  eAppErr SetContextObject(const KsRef<KsObject>& context);
  // Restricts the top-level object's own properties to these names (any case).
  KsRef<KsStringCollection> GetExplicitPropertyList() const { return m_explicitPropertyList; }
  eAppErr SetExplicitPropertyList(const KsRef<KsStringCollection>& list);
  bool GetExtendByReference() const { return m_extendByReference; }
  eAppErr SetExtendByReference(bool extend);
  PWStringRef GetRootObjectHREF() const { return m_rootObjectHREF; }
  eAppErr SetRootObjectHREF(const PWStringRef& href);
  bool GetIncludeNonSerialized() const { return m_includeNonSerialized; }
  eAppErr SetIncludeNonSerialized(bool include);
  bool GetShallowWrite() const { return m_shallowWrite; }
  eAppErr SetShallowWrite(bool shallow);
  // After a write: each href the write assigned (and each "hc://" path found
  // in the context) mapped to its live object.
  KsRef<LocalPathResolver> GetOutputPathResolver() const { return m_outputPathResolver; }

 private:
  KsRef<Emitter> m_emitter;
  PWStringRef m_rootElementName;
  KsRef<KsObject> m_contextObject;
  bool m_extendByReference = false;
  KsRef<KsClassObject> m_xsiType;
  KsRef<KsStringCollection> m_explicitPropertyList;
  PWStringRef m_targetPath;
  PWStringRef m_rootObjectHREF;
  KsRef<KsObject> m_targetObject;
  bool m_includeNonSerialized = false;
  bool m_shallowWrite = false;
  KsRef<LocalPathResolver> m_outputPathResolver;
};
HC_CLASS_OBJECT(ObjectWriter, KsObject)
