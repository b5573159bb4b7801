#include "Utilities/HcPropertyBindingBase.h"

#include "KsTrace.h"
#include "Utilities/HcProperty.h"
#include "Utilities/KsPropertyType.h"
#include "Utilities/ObjectReference.h"

HcPropertyBindingBase::HcPropertyBindingBase() = default;
HcPropertyBindingBase::~HcPropertyBindingBase() = default;

PWStringRef HcPropertyBindingBase::GetPropertyName() const {
  return m_property ? m_property->CopyName() : m_propertyName;
}

eAppErr HcPropertyBindingBase::SetPropertyName(const PWStringRef& name) {
  m_property = nullptr;
  m_propertyName = name;
  if (!name.IsNull() && GetTargetObject()) return ResolveBinding();
  return AppErr::kNoErr;
}

eAppErr HcPropertyBindingBase::SetTargetObject(const KsRef<KsObject>& target) {
  m_property = nullptr;
  const eAppErr err = StoreTarget(target);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetTargetObject");
  if (target && !m_propertyName.IsNull()) return ResolveBinding();
  return AppErr::kNoErr;
}

eAppErr HcPropertyBindingBase::SetRootObject(const KsRef<KsObject>& root) {
  m_rootObject = root;
  return AppErr::kNoErr;
}

eAppErr HcPropertyBindingBase::SetTargetPath(const PWStringRef& path) {
  m_property = nullptr;
  StoreTarget(KsRef<KsObject>());
  auto reference = KsMakeRef<ObjectReference>();
  eAppErr err = reference->SetRootObject(m_rootObject);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetTargetPath");
  err = reference->SetTargetName(path);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetTargetPath");
  // Without a root nothing was resolved: the binding has no target.
  if (!reference->GetTarget()) return KS_TRACE_ERR(AppErr::kNotReady, "SetTargetPath");
  err = StoreTarget(reference->GetTarget());
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetTargetPath");
  return AppErr::kNoErr;
}

eAppErr HcPropertyBindingBase::ResolveBinding() {
  m_property = nullptr;
  KsRef<KsObject> target = GetTargetObject();
  if (!target || m_propertyName.IsNull()) return KS_TRACE_ERR(AppErr::kNotReady, "ResolveBinding");
  KsRef<KsClassObject> classObject = target->GetClassObject();
  if (classObject) m_property = classObject->FindProperty(m_propertyName);
  if (!m_property) return KS_TRACE_ERR(AppErr::kNotFound, "ResolveBinding");
  return AppErr::kNoErr;
}

int32_t HcPropertyBindingBase::GetPropertyType() const {
  return m_property ? m_property->GetPropertyType() : KsPropertyType::kNone;
}

eAppErr HcPropertyBindingBase::PrepareAccess(const char* method, KsRef<KsObject>* target) const {
  if (!m_property) return KS_TRACE_ERR(AppErr::kNotReady, method);
  *target = GetTargetObject();
  if (!*target) return KS_TRACE_ERR(AppErr::kNotReady, method);
  return AppErr::kNoErr;
}

#define HC_BINDING_ACCESS(Method, ParamType)                          \
  eAppErr HcPropertyBindingBase::Method(ParamType value) {            \
    KsRef<KsObject> target;                                           \
    const eAppErr err = PrepareAccess(#Method, &target);              \
    if (AppErrFailed(err)) return err;                                \
    return m_property->Method(target.Get(), value);                   \
  }

HC_BINDING_ACCESS(SetValue, float)
HC_BINDING_ACCESS(GetValue, float*)
HC_BINDING_ACCESS(GetValue, double*)
HC_BINDING_ACCESS(SetValue, const PWStringRef&)
HC_BINDING_ACCESS(GetValue, PWStringRef*)
HC_BINDING_ACCESS(SetValue, const KsRef<KsObject>&)
HC_BINDING_ACCESS(GetValue, KsRef<KsObject>*)
#undef HC_BINDING_ACCESS
