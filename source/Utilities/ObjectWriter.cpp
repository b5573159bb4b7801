#include "Utilities/ObjectWriter.h"

#include <unordered_map>

#include "General/HcClassMap.h"
#include "KsTrace.h"
#include "Utilities/ObjectPath.h"
#include "Utilities/PropertyTraverser.h"
#include "Utilities/XMLStringEmitter.h"

namespace {

// The descriptor of a document's root property, which belongs to no class.
class DummyProperty : public HcProperty {
 public:
  bool GetCanGet() const override { return true; }
  bool GetCanSet() const override { return true; }
};

using HRefMap = std::unordered_map<const KsObject*, PWStringRef>;

// Walks the properties of the objects it is handed and turns each into
// emitter events; objects met again become references.
class WriteTraverser : public PropertyTraverser {
 public:
  WriteTraverser(const KsRef<Emitter>& emitter, bool includeNonSerialized, const KsRef<LocalPathResolver>& resolver)
      : m_emitter(emitter), m_resolver(resolver), m_includeNonSerialized(includeNonSerialized) {}

  void SetContextObject(const KsRef<KsObject>& context);
  void WriteTopLevelObject(const KsRef<KsObject>& object, bool extendByReference, const PWStringRef& rootHRef,
                           const KsRef<KsClassObject>& classObject, const KsRef<KsStringCollection>& explicitList);
  // The first failure of an emitter event, or 0.
  eAppErr GetFirstError() const { return m_firstError; }

  eAppErr OnPropertyValue(KsObject* o, HcProperty* p, int32_t, float v) override { return Plain(o, p, v); }
  eAppErr OnPropertyValue(KsObject* o, HcProperty* p, int32_t, uint32_t v) override { return Plain(o, p, v); }
  eAppErr OnPropertyValue(KsObject* o, HcProperty* p, int32_t, int32_t v) override { return Plain(o, p, v); }
  eAppErr OnPropertyValue(KsObject* o, HcProperty* p, int32_t, bool v) override { return Plain(o, p, v); }
  eAppErr OnPropertyValue(KsObject* o, HcProperty* p, int32_t, const PWStringRef& v) override {
    return Plain(o, p, v);
  }
  eAppErr OnPropertyValue(KsObject* o, HcProperty* p, int32_t, const KsRectF& v) override { return Plain(o, p, v); }
  eAppErr OnPropertyValue(KsObject* o, HcProperty* p, int32_t, const KsPointF& v) override { return Plain(o, p, v); }
  eAppErr OnPropertyValue(KsObject* o, HcProperty* p, int32_t, const KsSizeF& v) override { return Plain(o, p, v); }
  eAppErr OnPropertyValue(KsObject* o, HcProperty* p, int32_t, const KsColorF& v) override { return Plain(o, p, v); }
  eAppErr OnPropertyValue(KsObject* o, HcProperty* p, int32_t, double v) override { return Plain(o, p, v); }
  eAppErr OnPropertyValue(KsObject* o, HcProperty* p, int32_t, const KsPropertyList& v) override {
    // Like a null string or object, no value is left out.
    return v ? Plain(o, p, v) : AppErr::kNoErr;
  }
  eAppErr OnPropertyValue(KsObject* o, HcProperty* p, int32_t, void* v) override { return Plain(o, p, v); }
  eAppErr OnPropertyValue(KsObject* o, HcProperty* p, int32_t, int64_t v) override { return Plain(o, p, v); }
  eAppErr OnPropertyValue(KsObject* owner, HcProperty* property, int32_t index,
                          const KsRef<KsObject>& value) override;

  PWStringRef GetHRefForObject(const KsObject* object) const {
    const auto found = m_hrefs.find(object);
    return found == m_hrefs.end() ? PWStringRef() : found->second;
  }
  void SetHRefForObject(const KsRef<KsObject>& object, const PWStringRef& href) {
    if (m_hrefs.emplace(object.Get(), href).second) m_resolver->AddObject(href, object);
  }
  void RemoveHRefForObject(const KsObject* object) {
    const auto found = m_hrefs.find(object);
    if (found == m_hrefs.end()) return;
    m_resolver->RemovePath(found->second);
    m_hrefs.erase(found);
  }

 private:
  bool ShouldEmitProperty(const KsObject* owner, const PWStringRef& name) const;
  void Note(eAppErr result) {
    if (AppErrFailed(result) && !AppErrFailed(m_firstError)) m_firstError = result;
  }
  template <class T>
  eAppErr Plain(KsObject* owner, HcProperty* property, const T& value) {
    if (!ShouldEmitProperty(owner, property->GetName())) {
      KS_TRACE(KsTrace::kVerbose, "Skipping non-explicit property %@", property->GetName());
      return AppErr::kNoErr;
    }
    if (!m_emitter) return AppErr::kNoErr;
    KsRef<HcProperty> ref(property);
    Note(m_emitter->BeginProperty(ref, false));
    Note(m_emitter->EmitValue(value));
    Note(m_emitter->EndProperty(ref));
    return AppErr::kNoErr;
  }

  KsRef<Emitter> m_emitter;
  KsRef<KsObject> m_contextObject;
  KsRef<LocalPathResolver> m_resolver;
  bool m_includeNonSerialized;
  HRefMap m_hrefs;
  int m_nextId = 1;
  // Levels of objects open now, the top-level object being the first.
  uint32_t m_depth = 1;
  const KsObject* m_topLevelObject = nullptr;
  uint32_t m_explicitCount = 0;
  KsRef<KsStringCollection> m_explicitList;
  eAppErr m_firstError = AppErr::kNoErr;
};

// Enters every object the context holds directly under "hc://" and the
// property's name, so that the write refers to them instead of copying them.
class IDFinder : public PropertyTraverser {
 public:
  explicit IDFinder(WriteTraverser& writer, const KsRef<LocalPathResolver>& resolver)
      : m_writer(writer), m_resolver(resolver) {}

  void Go(const KsRef<KsObject>& root) {
    KsRef<KsClassObject> classObject = root->GetClassObject();
    if (classObject) classObject->TraverseProperties(root.Get(), this, false);
  }

  eAppErr OnPropertyValue(KsObject*, HcProperty* property, int32_t index, const KsRef<KsObject>& value) override {
    if (!value) return AppErr::kNoErr;
    // A collection's elements all come through its one element property:
    // each is named by its position, so that every one keeps a path of its own.
    const PWStringRef path =
        index >= 0 ? PWStringRef(std::string(kObjectPathScheme) + "[" + std::to_string(index) + "]")
                   : PWStringConcat(kObjectPathScheme, property->GetName());
    KS_TRACE(KsTrace::kVerbose, "IDFinder: adding path \"%@\"", path);
    m_writer.SetHRefForObject(value, path);
    m_resolver->AddObject(path, value);
    return AppErr::kNoErr;
  }
  eAppErr OnPropertyValue(KsObject*, HcProperty*, int32_t, float) override { return AppErr::kNoErr; }
  eAppErr OnPropertyValue(KsObject*, HcProperty*, int32_t, uint32_t) override { return AppErr::kNoErr; }
  eAppErr OnPropertyValue(KsObject*, HcProperty*, int32_t, int32_t) override { return AppErr::kNoErr; }
  eAppErr OnPropertyValue(KsObject*, HcProperty*, int32_t, bool) override { return AppErr::kNoErr; }
  eAppErr OnPropertyValue(KsObject*, HcProperty*, int32_t, const PWStringRef&) override { return AppErr::kNoErr; }
  eAppErr OnPropertyValue(KsObject*, HcProperty*, int32_t, const KsRectF&) override { return AppErr::kNoErr; }
  eAppErr OnPropertyValue(KsObject*, HcProperty*, int32_t, const KsPointF&) override { return AppErr::kNoErr; }
  eAppErr OnPropertyValue(KsObject*, HcProperty*, int32_t, const KsSizeF&) override { return AppErr::kNoErr; }
  eAppErr OnPropertyValue(KsObject*, HcProperty*, int32_t, const KsColorF&) override { return AppErr::kNoErr; }
  eAppErr OnPropertyValue(KsObject*, HcProperty*, int32_t, double) override { return AppErr::kNoErr; }
  eAppErr OnPropertyValue(KsObject*, HcProperty*, int32_t, const KsPropertyList&) override { return AppErr::kNoErr; }
  eAppErr OnPropertyValue(KsObject*, HcProperty*, int32_t, void*) override { return AppErr::kNoErr; }
  eAppErr OnPropertyValue(KsObject*, HcProperty*, int32_t, int64_t) override { return AppErr::kNoErr; }

 private:
  WriteTraverser& m_writer;
  KsRef<LocalPathResolver> m_resolver;
};

void WriteTraverser::SetContextObject(const KsRef<KsObject>& context) {
  m_contextObject = context;
  if (!context) return;
  // The finder lives on the stack; it is never shared, so its count stays 1.
  IDFinder finder(*this, m_resolver);
  finder.Go(context);
}

bool WriteTraverser::ShouldEmitProperty(const KsObject* owner, const PWStringRef& name) const {
  const std::string_view text = name.View();
  if (PWStringEqualNoCase(text, "Properties") || PWStringEqualNoCase(text, "PropertyNames")) return false;
  if (owner != m_topLevelObject || m_explicitCount == 0) return true;
  for (uint32_t i = 0; i < m_explicitCount; ++i) {
    if (PWStringEqualNoCase(m_explicitList->GetByIndex(i).View(), text)) return true;
  }
  return false;
}

void WriteTraverser::WriteTopLevelObject(const KsRef<KsObject>& object, bool extendByReference,
                                         const PWStringRef& rootHRef, const KsRef<KsClassObject>& classObject,
                                         const KsRef<KsStringCollection>& explicitList) {
  RemoveHRefForObject(object.Get());
  KsRef<KsClassObject> type = classObject ? classObject : object->GetClassObject();
  if (!type) return;
  m_explicitList = explicitList;
  m_explicitCount = explicitList ? explicitList->GetCount() : 0;
  m_topLevelObject = object.Get();
  KS_TRACE(KsTrace::kVerbose, "StartEmitObject: [%@] %@", type->GetName(), object->GetName());
  Note(m_emitter->BeginObject(type, "rootObject", extendByReference ? rootHRef : PWStringRef()));
  SetHRefForObject(object, "#rootObject");
  type->TraverseProperties(object.Get(), this, m_includeNonSerialized);
  KS_TRACE(KsTrace::kVerbose, "EndEmitObject: [%@] %@", type->GetName(), object->GetName());
  Note(m_emitter->EndObject(type));
}

eAppErr WriteTraverser::OnPropertyValue(KsObject* owner, HcProperty* property, int32_t,
                                        const KsRef<KsObject>& value) {
  if (!ShouldEmitProperty(owner, property->GetName())) {
    KS_TRACE(KsTrace::kVerbose, "Skipping non-explicit property %@", property->GetName());
    return AppErr::kNoErr;
  }
  if (!m_emitter) return AppErr::kNoErr;
  // A collection may hold an empty slot; it has no class to be written with.
  if (!value) return AppErr::kNoErr;
  KsRef<KsClassObject> type = value->GetClassObject();
  if (!type) return AppErr::kNoErr;
  KS_TRACE(KsTrace::kVerbose, "OnPropertyValue: I see a %@", type->GetName());
  KsRef<HcProperty> ref(property);
  Note(m_emitter->BeginProperty(ref, false));
  PWStringRef href = GetHRefForObject(value.Get());
  PWStringRef id;
  if (href.IsNull()) {
    std::string idText = "obj" + std::to_string(m_nextId++);
    id = PWStringRef(idText);
    SetHRefForObject(value, PWStringRef("#" + idText));
  }
  Note(m_emitter->BeginObject(type, id, href));
  if (href.IsNull()) {
    if (m_depth >= ObjectWriter::kMaxObjectDepth) {
      KS_TRACE(KsTrace::kError, "Objects nested deeper than %u levels; %@ is written empty",
               ObjectWriter::kMaxObjectDepth, type->GetName());
      Note(KS_TRACE_ERR(ObjectWriter::kNestedTooDeeply, "OnPropertyValue"));
    } else {
      ++m_depth;
      type->TraverseProperties(value.Get(), this, m_includeNonSerialized);
      --m_depth;
    }
  }
  Note(m_emitter->EndObject(type));
  Note(m_emitter->EndProperty(ref));
  return AppErr::kNoErr;
}

}  // namespace

ObjectWriter::ObjectWriter()
    : m_emitter(KsMakeRef<XMLStringEmitter>()), m_outputPathResolver(KsMakeRef<LocalPathResolver>()) {}

ObjectWriter::~ObjectWriter() = default;

eAppErr ObjectWriter::WriteObject() {
  if (!m_targetObject) return KS_TRACE_ERR(AppErr::kNotReady, "WriteObject");
  if (!m_emitter) return KS_TRACE_ERR(AppErr::kNotReady, "WriteObject");

  auto root = KsMakeRef<DummyProperty>();
  root->Setup(HcProperty::kIndexed, false, ClassGetClassObject(), 0, KsPropertyType::kObject, m_rootElementName,
              false, m_xsiType ? m_xsiType : m_targetObject->GetClassObject());
  KsRef<HcProperty> rootProperty = root;

  eAppErr first = AppErr::kNoErr;
  auto note = [&first](eAppErr result) {
    if (AppErrFailed(result) && !AppErrFailed(first)) first = result;
  };
  note(m_emitter->BeginDocument());
  note(m_emitter->BeginProperty(rootProperty, true));
  // Held by this frame alone: the traverser is never handed to anyone who keeps it.
  WriteTraverser traverser(m_emitter, m_includeNonSerialized, m_outputPathResolver);
  if (m_shallowWrite || m_targetObject != m_contextObject) traverser.SetContextObject(m_contextObject);
  traverser.WriteTopLevelObject(m_targetObject, m_extendByReference, m_rootObjectHREF, m_xsiType,
                                m_explicitPropertyList);
  note(traverser.GetFirstError());
  note(m_emitter->EndProperty(rootProperty));
  note(m_emitter->EndDocument());
  note(m_emitter->GetFirstError());
  if (AppErrFailed(first)) return KS_TRACE_ERR(first, "WriteObject");
  return AppErr::kNoErr;
}

eAppErr ObjectWriter::SetTargetPath(const PWStringRef& path) {
  if (!m_contextObject) return KS_TRACE_ERR(AppErr::kNotReady, "SetTargetPath");
  KsRef<KsObject> object;
  KsRef<HcProperty> property;
  const eAppErr err = ResolveObjectPath(path, m_contextObject, &object, &property);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetTargetPath");
  if (!object) return KS_TRACE_ERR(AppErr::kBadArgument, "SetTargetPath");
  PWStringRef rootName;
  if (object == m_contextObject) {
    KsRef<KsClassObject> classObject = object->GetClassObject();
    rootName = classObject ? classObject->GetName() : PWStringRef();
    m_xsiType = classObject;
  } else {
    rootName = property ? property->GetName() : PWStringRef();
    if (m_extendByReference && property) m_xsiType = property->GetPropertyTypeClass();
  }
  SetRootElementName(rootName);
  m_targetPath = path;
  SetRootObjectHREF(path);
  return SetTargetObject(object);
}

eAppErr ObjectWriter::SetXsiTypeName(const PWStringRef& name) {
  if (name.IsNull() || name.IsEmpty()) {
    m_xsiType = nullptr;
    return AppErr::kNoErr;
  }
  KsRef<KsClassObject> classObject = HcClassMap::FindClassObject(name);
  if (!classObject) return KS_TRACE_ERR(AppErr::kBadArgument, "SetXsiTypeName");
  m_xsiType = classObject;
  return AppErr::kNoErr;
}

PWStringRef ObjectWriter::GetXsiTypeName() const { return m_xsiType ? m_xsiType->GetName() : PWStringRef(); }

eAppErr ObjectWriter::SetTargetObject(const KsRef<KsObject>& object) {
  m_targetObject = object;
  if (!m_xsiType && object) m_xsiType = object->GetClassObject();
  return AppErr::kNoErr;
}

eAppErr ObjectWriter::SetEmitter(const KsRef<Emitter>& emitter) {
  DidChangeCaller change(this, kEmitterId);
  m_emitter = emitter;
  return AppErr::kNoErr;
}

eAppErr ObjectWriter::SetRootElementName(const PWStringRef& name) {
  DidChangeCaller change(this, kRootElementNameId);
  m_rootElementName = name;
  return AppErr::kNoErr;
}

eAppErr ObjectWriter::SetContextObject(const KsRef<KsObject>& context) {
  DidChangeCaller change(this, kContextObjectId);
  m_contextObject = context;
  return AppErr::kNoErr;
}

eAppErr ObjectWriter::SetExplicitPropertyList(const KsRef<KsStringCollection>& list) {
  DidChangeCaller change(this, kExplicitPropertyListId);
  m_explicitPropertyList = list;
  return AppErr::kNoErr;
}

eAppErr ObjectWriter::SetExtendByReference(bool extend) {
  DidChangeCaller change(this, kExtendByReferenceId);
  m_extendByReference = extend;
  return AppErr::kNoErr;
}

eAppErr ObjectWriter::SetRootObjectHREF(const PWStringRef& href) {
  DidChangeCaller change(this, kRootObjectHREFId);
  m_rootObjectHREF = href;
  return AppErr::kNoErr;
}

eAppErr ObjectWriter::SetIncludeNonSerialized(bool include) {
  DidChangeCaller change(this, kIncludeNonSerializedId);
  m_includeNonSerialized = include;
  return AppErr::kNoErr;
}

eAppErr ObjectWriter::SetShallowWrite(bool shallow) {
  DidChangeCaller change(this, kShallowWriteId);
  m_shallowWrite = shallow;
  return AppErr::kNoErr;
}
