#pragma once

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "Utilities/HcProperty.h"

// Names one property of one object, (target, property name), and forwards
// typed reads and writes to it. The descriptor is looked up (without regard
// to case) whenever both the target and the name are present, and kept until
// either changes. The subclasses differ in how they hold the target.
class HcPropertyBindingBase : public KsObject {
  HC_CLASS_HEADER(HcPropertyBindingBase)
 public:
  HcPropertyBindingBase();
  ~HcPropertyBindingBase() override;

  // The bound property's name as its class spells it once resolved, else the
  // name as given (null until set). Setting resolves when a target is there:
  // -607 when its class has no property of that name.
  PWStringRef GetPropertyName() const;
  eAppErr SetPropertyName(const PWStringRef& name);

  virtual KsRef<KsObject> GetTargetObject() const = 0;
  // Resolves when a name is there (-607 as above); a null target leaves the
  // binding unresolved.
  eAppErr SetTargetObject(const KsRef<KsObject>& target);
  KsRef<KsObject> GetBindingObject() const { return GetTargetObject(); }
  eAppErr SetBindingObject(const KsRef<KsObject>& target) { return SetTargetObject(target); }

  // The object target paths are resolved against.
  KsRef<KsObject> GetRootObject() const { return m_rootObject; }
  eAppErr SetRootObject(const KsRef<KsObject>& root);

  // The target becomes the object the path names below RootObject. The
  // binding stays unresolved until the property name is set afterwards.
  eAppErr SetTargetPath(const PWStringRef& path);

  eAppErr ResolveBinding();
  bool IsResolved() const { return static_cast<bool>(m_property); }
  // The bound descriptor (empty when unresolved): other value types are
  // reached through it.
  KsRef<HcProperty> GetResolvedProperty() const { return m_property; }
  // The bound property's type, -1 when unresolved.
  int32_t GetPropertyType() const;

  // Typed access: -903 when unresolved or without a live target; otherwise
  // the descriptor's own answer (-102 for a property of another type).
  eAppErr SetValue(float value);
  eAppErr GetValue(float* value);
  eAppErr GetValue(double* value);
  eAppErr SetValue(const PWStringRef& value);
  eAppErr GetValue(PWStringRef* value);
  eAppErr SetValue(const KsRef<KsObject>& value);
  eAppErr GetValue(KsRef<KsObject>* value);

 protected:
  // Stores the target (strongly or weakly).
  virtual eAppErr StoreTarget(const KsRef<KsObject>& target) = 0;

 private:
  // The live target with the bound descriptor, or -903.
  eAppErr PrepareAccess(const char* method, KsRef<KsObject>* target) const;

  PWStringRef m_propertyName;
  KsRef<HcProperty> m_property;
  KsRef<KsObject> m_rootObject;
};
HC_CLASS_OBJECT(HcPropertyBindingBase, KsObject)
