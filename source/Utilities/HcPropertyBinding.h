#pragma once

#include "Utilities/HcPropertyBindingBase.h"

// A property binding that keeps its target alive.
class HcPropertyBinding : public HcPropertyBindingBase {
  HC_CLASS_HEADER(HcPropertyBinding)
 public:
  KsRef<KsObject> GetTargetObject() const override { return m_target; }

  // One-shot access to the property named `propertyName` of the object at
  // `path` below `root`.
  static eAppErr GetPropertyValue(PWStringRef* value, const PWStringRef& path, const PWStringRef& propertyName,
                                  const KsRef<KsObject>& root);
  static eAppErr GetPropertyValue(float* value, const PWStringRef& path, const PWStringRef& propertyName,
                                  const KsRef<KsObject>& root);
  static eAppErr GetPropertyValue(KsRef<KsObject>* value, const PWStringRef& path, const PWStringRef& propertyName,
                                  const KsRef<KsObject>& root);
  static eAppErr SetPropertyValue(const PWStringRef& value, const PWStringRef& path, const PWStringRef& propertyName,
                                  const KsRef<KsObject>& root);
  static eAppErr SetPropertyValue(float value, const PWStringRef& path, const PWStringRef& propertyName,
                                  const KsRef<KsObject>& root);
  static eAppErr SetPropertyValue(const KsRef<KsObject>& value, const PWStringRef& path,
                                  const PWStringRef& propertyName, const KsRef<KsObject>& root);

 protected:
  eAppErr StoreTarget(const KsRef<KsObject>& target) override;

 private:
  KsRef<KsObject> m_target;
};
HC_CLASS_OBJECT(HcPropertyBinding, HcPropertyBindingBase)
