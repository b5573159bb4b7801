#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "General/KsClassObject.h"
#include "General/RefTempl.h"
#include "PWString.h"
#include "Utilities/HcIndexedObjectProperty.h"
#include "Utilities/HcIndexedSimpleProperty.h"

// Action properties: the element descriptors a collection makes on demand for
// property names it does not declare. "N" reads and replaces element N, "+N"
// inserts at N, "-N" removes element N. Any other name (a misspelt property
// name among them) makes no descriptor, so it is not found rather than
// silently addressing element 0.
struct HcActionName {
  enum Kind { kElement, kInsert, kRemove };
  Kind kind = kElement;
  uint32_t index = 0;
};

// "N", "+N" or "-N" with N decimal digits only, within 32 bits; nothing for
// any other text.
std::optional<HcActionName> ParseActionName(std::string_view text);

// The same for a value collection's names, which may also come bracketed:
// the text between the first "[" and the first "]" after it is the name
// ("[3]" acts as "3"); a "[" without its "]" makes nothing.
std::optional<std::string_view> UnbracketActionName(std::string_view text);

// The action property of an object collection C whose elements are Ts, for
// the given name, exposed by the given class object; empty when the name is
// not an action name.
template <class C, class T>
KsRef<HcProperty> MakeObjectActionProperty(const PWStringRef& name, const KsRef<KsClassObject>& classObject) {
  if (name.IsNull()) return {};
  const std::optional<HcActionName> action = ParseActionName(name.View());
  if (!action) return {};
  using Property = HcIndexedObjectProperty<C, T>;
  typename Property::Getter getter;
  typename Property::Setter setter;
  switch (action->kind) {
    case HcActionName::kInsert:
      setter = [](C& c, uint32_t index, const KsRef<T>& value) { return c.InsertAt(index, value); };
      break;
    case HcActionName::kRemove:
      setter = [](C& c, uint32_t index, const KsRef<T>& value) { return c.RemoveNoSet(index, value); };
      break;
    case HcActionName::kElement:
      getter = [](C& c, uint32_t index, KsRef<T>* value) { return c.GetByIndex(index, value); };
      setter = [](C& c, uint32_t index, const KsRef<T>& value) { return c.SetAt(index, value); };
      break;
  }
  auto property = KsMakeRef<Property>();
  property->SetupProperty(action->index, classObject, KsPropertyType::kObject, name, std::move(getter),
                          std::move(setter), T::ClassGetClassObject());
  return property;
}

// The action property of a value collection C whose elements are Ts of the
// given property type, for the given name; empty when the name is not an
// action name (bracketed or not).
template <class C, class T>
KsRef<HcProperty> MakeActionPropertyImpl(const PWStringRef& name, int32_t propertyType,
                                         const KsRef<KsClassObject>& classObject) {
  if (name.IsNull() || name.IsEmpty()) return {};
  const std::optional<std::string_view> unbracketed = UnbracketActionName(name.View());
  if (!unbracketed) return {};
  if (unbracketed->size() != name.ByteLength()) {
    return MakeActionPropertyImpl<C, T>(PWStringRef(*unbracketed), propertyType, classObject);
  }
  const std::optional<HcActionName> action = ParseActionName(name.View());
  if (!action) return {};
  using Property = HcIndexedSimpleProperty<C, T>;
  typename Property::Getter getter;
  typename Property::Setter setter;
  switch (action->kind) {
    case HcActionName::kInsert:
      setter = [](C& c, uint32_t index, HcParam<T> value) { return c.InsertAt(index, value); };
      break;
    case HcActionName::kRemove:
      setter = [](C& c, uint32_t index, HcParam<T> value) { return c.RemoveNoSet(index, value); };
      break;
    case HcActionName::kElement:
      getter = [](C& c, uint32_t index, T* value) { return c.GetByIndex(index, value); };
      setter = [](C& c, uint32_t index, HcParam<T> value) { return c.SetAt(index, value); };
      break;
  }
  auto property = KsMakeRef<Property>();
  property->SetupProperty(action->index, classObject, propertyType, name, std::move(getter), std::move(setter));
  return property;
}
