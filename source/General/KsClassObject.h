#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <unordered_map>
#include <mutex>
#include <vector>

#include "General/KsBaseObject.h"
#include "General/RefTempl.h"
#include "KsAppErr.h"
#include "PWString.h"
#include "platform/runtime/Class.h"

class KsObject;
class HcProperty;
class PropertyTraverser;

using HcPropertyList = std::vector<KsRef<HcProperty>>;

// Describes one class: external and implementation names, parent class,
// abstract and collection flags, instance creation and the property table.
// Each class has exactly one, made on first use and kept for the whole run.
class KsClassObject : public KsBaseObject {
 public:
  using Ref = RefTemplAbstract<KsBaseObject, KsClassObject>;

  KsClassObject();
  ~KsClassObject() override;

  // Appends the properties (the parent's first when inherited) in
  // case-insensitive name order per class.
  virtual void CollectProperties(HcPropertyList& list, bool includeInherited);
  virtual const char* GetImplName() const = 0;
  // Empty for the root.
  virtual Ref GetParentClass() const = 0;
  virtual bool IsCollection() const { return false; }
  // Visits every (serialised, unless asked otherwise) property value of the
  // object with the traverser.
  virtual eAppErr TraverseProperties(KsObject* object, PropertyTraverser* traverser, bool includeNonSerialized);
  virtual void GetPropertyList(HcPropertyList& list, bool includeInherited);
  virtual void GetPropertyById(KsRef<HcProperty>& property, int32_t propertyId);
  virtual void GetPropertyForPropertyName(KsRef<HcProperty>& property, const PWStringRef& name);
  virtual void GetElementProperty(KsRef<HcProperty>& property);
  // A new instance; empty for abstract classes.
  virtual void CreateObject(KsRef<KsObject>& object) = 0;
  // The external name: the class-map key and the type name in object data.
  virtual PWStringRef GetName() const { return "(unknown class)"; }
  // 0 when the class has no property of that name.
  virtual int32_t GetPropertyIdForName(const PWStringRef& name);
  virtual bool IsAbstract() const = 0;

  // Conveniences over the out-parameter forms.
  KsRef<HcProperty> FindProperty(const PWStringRef& name);
  KsRef<HcProperty> FindPropertyById(int32_t propertyId);

  Ref ThisRef() { return Ref(this); }
  // Keeps the first property of a name (any case) and of an id.
  void AddProperty(const KsRef<HcProperty>& property);
  // True for this class object and each of its ancestors.
  bool InheritsFrom(const Ref& classObject) const;
  // Builds the property table now (start-up does this for every class).
  void EnsurePropertiesSetUp();

  // The bridge's proxy class and its metaclass (null until the class is
  // registered; see MakeCocoaProxyClass).
  hc::runtime::Class* GetCocoaClass() const { return m_cocoaClass.load(std::memory_order_acquire); }
  hc::runtime::Class* GetCocoaMetaclass() const {
    hc::runtime::Class* cls = GetCocoaClass();
    return cls ? cls->GetMetaclass() : nullptr;
  }
  // Stores the proxy class and adds the method lists that waited for it;
  // owned: made for this class object alone (freed with it).
  void SetCocoaClass(hc::runtime::Class* cls, bool owned);
  void ClearCocoaClasses();
  bool OwnsCocoaClass() const { return m_ownsCocoaClass; }
  // The class's own bridged methods, added to the proxy class (instance
  // methods) or its metaclass (class methods) as one list; kept until the
  // proxy class exists.
  void AddObjCInstanceMethods(hc::runtime::MethodList methods);
  void AddObjCClassMethods(hc::runtime::MethodList methods);
  // The property an accessor selector stands for: recorded when the proxy
  // class was built, else found from the selector's name and remembered.
  KsRef<HcProperty> ObjC_GetPropertyForSelector(hc::runtime::Selector selector);
  void ObjC_RecordPropertyForSelector(hc::runtime::Selector selector, const KsRef<HcProperty>& property);
  // Forgets every resolved selector (they resolve again by name).
  void ObjC_ClearSelectorCache();

 protected:
  // Creates and adds the class's own properties; runs once, on first use.
  virtual void SetupProperties() {}
  // The traversal every class's own TraverseProperties ends in.
  eAppErr TraversePropertiesOf(KsObject* object, PropertyTraverser* traverser, bool includeNonSerialized);

 private:
  std::atomic<bool> m_setUp{false};
  bool m_setupStarted = false;
  std::recursive_mutex m_setupLock;
  std::map<PWStringRef, KsRef<HcProperty>, PWStringLessNoCase> m_byName;
  std::map<int32_t, KsRef<HcProperty>> m_byId;
  std::atomic<hc::runtime::Class*> m_cocoaClass{nullptr};
  bool m_ownsCocoaClass = false;
  std::mutex m_cocoaLock;  // the pending lists and the selector cache
  std::vector<hc::runtime::MethodList> m_pendingInstanceMethods;
  std::vector<hc::runtime::MethodList> m_pendingClassMethods;
  std::unordered_map<hc::runtime::Selector, KsRef<HcProperty>> m_selectorCache;
};
