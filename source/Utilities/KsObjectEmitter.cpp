#include "Utilities/KsObjectEmitter.h"

#include "KsTrace.h"

KsObjectEmitter::KsObjectEmitter() = default;
KsObjectEmitter::~KsObjectEmitter() = default;

eAppErr KsObjectEmitter::SetOutputFile(void*) { return KS_TRACE_ERR(AppErr::kNotReady, "SetOutputFile"); }

eAppErr KsObjectEmitter::SetEmittedObject(const KsRef<KsObject>& object) {
  DidChangeCaller change(this, kEmittedObjectId);
  m_emittedObject = object;
  return AppErr::kNoErr;
}

eAppErr KsObjectEmitter::SetExternalPathResolver(const KsRef<PathResolver>& resolver) {
  DidChangeCaller change(this, kExternalPathResolverId);
  m_externalPathResolver = resolver;
  return AppErr::kNoErr;
}

eAppErr KsObjectEmitter::BeginDocument() {
  m_localResolver = KsMakeRef<LocalPathResolver>();
  m_properties.clear();
  m_objects.clear();
  return AppErr::kNoErr;
}

eAppErr KsObjectEmitter::BeginProperty(const KsRef<HcProperty>& property, bool) {
  m_properties.push_back(property);
  return AppErr::kNoErr;
}

eAppErr KsObjectEmitter::EndProperty(const KsRef<HcProperty>&) {
  if (!m_properties.empty()) m_properties.pop_back();
  return AppErr::kNoErr;
}

KsRef<KsObject> KsObjectEmitter::ResolveHREF(const PWStringRef& href) {
  if (m_localResolver && m_localResolver->LooksLikeMyPath(href)) return m_localResolver->GetObjectForPath(href);
  if (m_externalPathResolver) return m_externalPathResolver->GetObjectForPath(href);
  return {};
}

eAppErr KsObjectEmitter::BeginObject(const KsRef<KsClassObject>& classObject, const PWStringRef& id,
                                     const PWStringRef& href) {
  KsRef<KsObject> object;
  if (!id.IsNull()) {
    if (classObject) classObject->CreateObject(object);
    if (object) {
      if (m_localResolver) m_localResolver->AddObject(id, object);
      if (!m_emittedObject) m_emittedObject = object;
    }
  } else if (!href.IsNull()) {
    object = ResolveHREF(href);
  }
  if (!object) KS_TRACE(KsTrace::kError, "Could not resolve HREF `%@'!", href);
  m_objects.push_back(object);
  return AppErr::kNoErr;
}

eAppErr KsObjectEmitter::EndObject(const KsRef<KsClassObject>&) {
  if (m_objects.empty()) return AppErr::kNoErr;
  KsRef<KsObject> finished = std::move(m_objects.back());
  m_objects.pop_back();
  if (!m_objects.empty() && m_objects.back() && !m_properties.empty()) {
    m_properties.back()->SetValue(m_objects.back().Get(), finished);
  }
  return AppErr::kNoErr;
}

eAppErr KsObjectEmitter::EndDocument() {
  // Tells observers that the emitted object is complete.
  DidChangeCaller change(this, kEmittedObjectId);
  return AppErr::kNoErr;
}
