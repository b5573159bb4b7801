#pragma once

#include <vector>

#include "General/KsObject.h"
#include "General/RefTempl.h"
#include "KsAppErr.h"
#include "PWString.h"
#include "platform/runtime/Class.h"
#include "platform/runtime/ObjectRef.h"
#include "platform/runtime/RuntimeErr.h"

class HcProperty;

// The bridge between model objects and the object run time. A model object
// is its own run-time object (KsObject carries the header), so it has one
// identity and one count on both sides; its class word is bound to the proxy
// class of its class object when it is first handed out.

// "C_KsObject", the root of every proxy class (made on first use, derived
// from the run time's root class).
hc::runtime::Class* GetCKsObjectClass();
// Binds the object's class word to its class object's proxy class.
void BindCocoaClass(KsObject* object);
// The object's run-time identity, bound and retained (the caller owns the
// reference). Every place that hands a model object to the run time uses it.
hc::runtime::ObjectRef GetCocoaObject(KsObject* object);
// The model object of a run-time object; empty when it is no model object.
KsRef<KsObject> KsObjectFromCocoa(hc::runtime::Id object);
bool IsBridgedObject(hc::runtime::Id object);

// The name with a first letter in a..z raised (any length).
PWStringRef CapitalizeFirstLetter(const PWStringRef& name);
// The getter and setter of one property (either pointer may be null): made
// when the property can be read, respectively set, and its type is known.
eAppErr MakePropertyAccessorMethods(HcProperty* property, hc::runtime::Method* getter,
                                    hc::runtime::Method* setter);
// The seven key-value-coding collection accessors of a collection property.
eAppErr MakeCollectionAccessorMethods(HcProperty* property, std::vector<hc::runtime::Method>& methods);

// Takes every observer proxy of the dying object out of the proxy map.
void DetachObserverProxies(KsObject* object);

eAppErr AppErrFromRuntimeErr(hc::runtime::RuntimeErr err);
