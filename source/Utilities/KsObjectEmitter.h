#pragma once

#include <cstdint>
#include <vector>

#include "General/KsClassMacros.h"
#include "Utilities/Emitter.h"
#include "Utilities/LocalPathResolver.h"
#include "Utilities/PathResolver.h"

// An emitter whose events build live objects: behind an ObjectWriter it makes
// a copy of the written graph. Objects arriving with an id are created (the
// first one becomes EmittedObject); an href "#id" finds the copy made
// earlier, so shared objects stay shared; any other href goes to the
// ExternalPathResolver (a shallow copy hands it the writer's output
// resolver, so references find the original objects).
class KsObjectEmitter : public Emitter {
  HC_CLASS_HEADER(KsObjectEmitter)
 public:
  enum : int32_t { kEmittedObjectId = 300, kExternalPathResolverId = 301 };

  KsObjectEmitter();
  ~KsObjectEmitter() override;

  // This emitter has no output stream: always -903.
  eAppErr SetOutputFile(void* output) override;

  eAppErr BeginProperty(const KsRef<HcProperty>& property, bool isDocumentRoot) override;
  eAppErr EndProperty(const KsRef<HcProperty>& property) override;
  eAppErr BeginObject(const KsRef<KsClassObject>& classObject, const PWStringRef& id,
                      const PWStringRef& href) override;
  eAppErr EndObject(const KsRef<KsClassObject>& classObject) override;
  eAppErr EmitValue(const PWStringRef& value) override { return SetCurrent(value); }
  eAppErr EmitValue(uint32_t value) override { return SetCurrent(value); }
  eAppErr EmitValue(int32_t value) override { return SetCurrent(value); }
  eAppErr EmitValue(bool value) override { return SetCurrent(value); }
  eAppErr EmitValue(float value) override { return SetCurrent(value); }
  eAppErr EmitValue(const KsPointF& value) override { return SetCurrent(value); }
  eAppErr EmitValue(const KsSizeF& value) override { return SetCurrent(value); }
  eAppErr EmitValue(const KsRectF& value) override { return SetCurrent(value); }
  eAppErr EmitValue(const KsColorF& value) override { return SetCurrent(value); }
  eAppErr EmitValue(void* value) override { return SetCurrent(value); }
  eAppErr EmitValue(const KsPropertyList& value) override { return SetCurrent(value); }
  eAppErr EmitValue(double value) override { return SetCurrent(value); }
  eAppErr EmitValue(int64_t value) override { return SetCurrent(value); }
  eAppErr BeginDocument() override;
  eAppErr EndDocument() override;

  KsRef<KsObject> GetEmittedObject() const { return m_emittedObject; }
  eAppErr SetEmittedObject(const KsRef<KsObject>& object);
  KsRef<PathResolver> GetExternalPathResolver() const { return m_externalPathResolver; }
  eAppErr SetExternalPathResolver(const KsRef<PathResolver>& resolver);

 private:
  KsRef<KsObject> ResolveHREF(const PWStringRef& href);
  // Sets the current property of the current object; refusals are the
  // property's business (a copy keeps the default then).
  template <class T>
  eAppErr SetCurrent(const T& value) {
    if (m_properties.empty() || m_objects.empty() || !m_objects.back()) return AppErr::kNoErr;
    m_properties.back()->SetValue(m_objects.back().Get(), value);
    return AppErr::kNoErr;
  }

  KsRef<KsObject> m_emittedObject;
  std::vector<KsRef<HcProperty>> m_properties;
  std::vector<KsRef<KsObject>> m_objects;
  KsRef<LocalPathResolver> m_localResolver;
  KsRef<PathResolver> m_externalPathResolver;
};
HC_CLASS_OBJECT(KsObjectEmitter, Emitter)
