#include "Utilities/HcPropertyBinding.h"

#include "KsTrace.h"

eAppErr HcPropertyBinding::StoreTarget(const KsRef<KsObject>& target) {
  m_target = target;
  return AppErr::kNoErr;
}

namespace {

// A fresh binding to the property at the path: root, path, then name.
eAppErr BindAtPath(const PWStringRef& path, const PWStringRef& propertyName, const KsRef<KsObject>& root,
                   KsRef<HcPropertyBinding>* binding) {
  auto made = KsMakeRef<HcPropertyBinding>();
  eAppErr err = made->SetRootObject(root);
  if (!AppErrFailed(err)) err = made->SetTargetPath(path);
  if (!AppErrFailed(err)) err = made->SetPropertyName(propertyName);
  if (AppErrFailed(err)) return err;
  *binding = made;
  return AppErr::kNoErr;
}

template <class Out>
eAppErr GetAtPath(Out* value, const PWStringRef& path, const PWStringRef& propertyName,
                  const KsRef<KsObject>& root) {
  KsRef<HcPropertyBinding> binding;
  eAppErr err = BindAtPath(path, propertyName, root, &binding);
  if (!AppErrFailed(err)) err = binding->GetValue(value);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "GetPropertyValue");
  return AppErr::kNoErr;
}

template <class In>
eAppErr SetAtPath(const In& value, const PWStringRef& path, const PWStringRef& propertyName,
                  const KsRef<KsObject>& root) {
  KsRef<HcPropertyBinding> binding;
  eAppErr err = BindAtPath(path, propertyName, root, &binding);
  if (!AppErrFailed(err)) err = binding->SetValue(value);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetPropertyValue");
  return AppErr::kNoErr;
}

}  // namespace

eAppErr HcPropertyBinding::GetPropertyValue(PWStringRef* value, const PWStringRef& path,
                                            const PWStringRef& propertyName, const KsRef<KsObject>& root) {
  return GetAtPath(value, path, propertyName, root);
}

eAppErr HcPropertyBinding::GetPropertyValue(float* value, const PWStringRef& path, const PWStringRef& propertyName,
                                            const KsRef<KsObject>& root) {
  return GetAtPath(value, path, propertyName, root);
}

eAppErr HcPropertyBinding::GetPropertyValue(KsRef<KsObject>* value, const PWStringRef& path,
                                            const PWStringRef& propertyName, const KsRef<KsObject>& root) {
  return GetAtPath(value, path, propertyName, root);
}

eAppErr HcPropertyBinding::SetPropertyValue(const PWStringRef& value, const PWStringRef& path,
                                            const PWStringRef& propertyName, const KsRef<KsObject>& root) {
  return SetAtPath(value, path, propertyName, root);
}

eAppErr HcPropertyBinding::SetPropertyValue(float value, const PWStringRef& path, const PWStringRef& propertyName,
                                            const KsRef<KsObject>& root) {
  return SetAtPath(value, path, propertyName, root);
}

eAppErr HcPropertyBinding::SetPropertyValue(const KsRef<KsObject>& value, const PWStringRef& path,
                                            const PWStringRef& propertyName, const KsRef<KsObject>& root) {
  return SetAtPath(value, path, propertyName, root);
}
