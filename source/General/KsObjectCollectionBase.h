#pragma once

#include <cstdint>
#include <vector>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "General/KsUUID.h"
#include "General/RefTempl.h"
#include "KsAppErr.h"
#include "PWString.h"
#include "Utilities/HcProperty.h"

class PropertyTraverser;

// The ordered, observable collection of model objects every object
// collection is built on. Elements are counted references, never null; an
// object may be stored more than once; membership and position compare
// identity. Every change of the contents is announced on the class's element
// property, after the change, with a description of what changed where.
class KsObjectCollectionBase : public KsObject {
  HC_CLASS_HEADER(KsObjectCollectionBase)
 public:
  KsObjectCollectionBase();
  ~KsObjectCollectionBase() override;

  // Whether the object may be an element (never true for null).
  virtual bool IsLegalElement(const KsRef<KsObject>& object) const = 0;

  uint32_t GetCount() const { return static_cast<uint32_t>(m_elements.size()); }
  bool ContainsObject(const KsRef<KsObject>& object) const;
  // The index of the first occurrence; -1 when absent (null included).
  int32_t IndexOfObject(const KsRef<KsObject>& object) const;
  eAppErr GetObjectByIndex(uint32_t index, KsRef<KsObject>* object) const;
  // The first element whose name is exactly this name (letter case counts).
  eAppErr GetObjectByName(const PWStringRef& name, KsRef<KsObject>* object) const;
  eAppErr GetByUUID(const KsUUID& uuid, KsRef<KsObject>* object) const;

  // The checked operations refuse an object IsLegalElement rejects; the
  // internal ones take any non-null object.
  eAppErr AddObject(const KsRef<KsObject>& object);
  eAppErr InternalAdd(const KsRef<KsObject>& object);
  eAppErr InsertObjectAt(uint32_t index, const KsRef<KsObject>& object);
  // An index at or past the end appends.
  eAppErr InternalInsertAt(uint32_t index, const KsRef<KsObject>& object);
  eAppErr SetObjectAt(uint32_t index, const KsRef<KsObject>& object);
  eAppErr InternalSetAt(uint32_t index, const KsRef<KsObject>& object);
  eAppErr RemoveObject(const KsRef<KsObject>& object);
  // Removes the first occurrence.
  eAppErr InternalRemove(const KsRef<KsObject>& object);
  eAppErr RemoveAt(uint32_t index);
  void RemoveAllObjects();

  // Append every element of the other collection in its order (the unique
  // form skips those already here); the result is that of the last append.
  eAppErr AddObjects(const KsRef<KsObjectCollectionBase>& other);
  eAppErr AddUniqueObjects(const KsRef<KsObjectCollectionBase>& other);
  // New collections of this collection's class. Intersecting with null gives
  // null; excluding null gives this collection itself. An end below first or
  // past the count stands for the count.
  KsRef<KsObjectCollectionBase> CollectionByIntersectingCollection(const KsRef<KsObjectCollectionBase>& other);
  KsRef<KsObjectCollectionBase> CollectionByExcludingCollection(const KsRef<KsObjectCollectionBase>& other);
  KsRef<KsObjectCollectionBase> SubsetOfCollection(uint32_t first, uint32_t end);

  KsRef<KsObjectCollectionBase> ThisRef() { return KsRef<KsObjectCollectionBase>(this); }

 private:
  class ChangeScope;
  // A new, empty collection of this collection's class; empty if it can't be made.
  KsRef<KsObjectCollectionBase> MakeEmptyOfSameClass() const;
  int32_t FindIndex(const KsObject* object) const;

  std::vector<KsRef<KsObject>> m_elements;
};

HC_CLASS_OBJECT_BEGIN(KsObjectCollectionBase, KsObject)
 public:
  bool IsCollection() const override { return true; }
  // The descriptor every content change is announced on; set up on first use.
  void GetElementProperty(KsRef<HcProperty>& property) override;

 protected:
  // Each concrete class's SetupProperties stores its element property here.
  void SetElementProperty(const KsRef<HcProperty>& property) { m_elementProperty = property; }

 private:
  KsRef<HcProperty> m_elementProperty;
HC_CLASS_OBJECT_END
