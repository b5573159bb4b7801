#pragma once

#include "General/KsObject.h"
#include "General/RefTempl.h"
#include "platform/runtime/Class.h"
#include "platform/runtime/Selector.h"
#include "platform/runtime/Value.h"

class HcProperty;

// What the accessors of the proxy classes do: find the property a selector
// stands for and convert between property values and run-time boxes.

// The property an accessor selector names on the receiver's class, and the
// receiver's model object.
KsRef<HcProperty> PropertyForSelector(hc::runtime::Id self, hc::runtime::Selector selector,
                                      KsRef<KsObject>& object);
// The name rule behind a selector: a setter ("set…:" with one argument)
// names the rest without the colon; anything else names itself with the
// first letter raised.
KsRef<HcProperty> LookUpPropertyForSelector(KsClassObject* classObject, hc::runtime::Selector selector);
// Converts the box to the property's type and sets it. -2 for a box that
// can't stand for that type (an object that is no model object), else the
// set's own result.
eAppErr SetPropertyFromCocoaValue(HcProperty* property, KsObject* object, const hc::runtime::Value& value);
// The property's value as a box of its type; zero, or nil for object-like
// types, when the read fails.
hc::runtime::Value CocoaValueFromProperty(HcProperty* property, KsObject* object);

// Implementations installed on the proxy classes.
hc::runtime::RuntimeErr TypedGetterImp(hc::runtime::Id self, const hc::runtime::Method& method,
                                       std::span<const hc::runtime::Value> arguments, hc::runtime::Value& result);
hc::runtime::RuntimeErr TypedSetterImp(hc::runtime::Id self, const hc::runtime::Method& method,
                                       std::span<const hc::runtime::Value> arguments, hc::runtime::Value& result);
hc::runtime::RuntimeErr CollectionAccessorImp(hc::runtime::Id self, const hc::runtime::Method& method,
                                              std::span<const hc::runtime::Value> arguments,
                                              hc::runtime::Value& result);
hc::runtime::RuntimeErr PropertyValueForKeyImp(hc::runtime::Id self, const hc::runtime::Method& method,
                                               std::span<const hc::runtime::Value> arguments,
                                               hc::runtime::Value& result);
hc::runtime::RuntimeErr SetPropertyToValueImp(hc::runtime::Id self, const hc::runtime::Method& method,
                                              std::span<const hc::runtime::Value> arguments,
                                              hc::runtime::Value& result);
