#pragma once

#include <string>

#include "General/KsClassObject.h"
#include "General/RefTempl.h"

// The proxy class of each class object: "C_" and the implementation name
// (per-target property proxy classes: "C_" and the external name), derived
// from the parent's proxy class, with a getter and a setter for every
// property it can read and set (inherited ones included) and the collection
// accessors of collection properties. Made when the class object is
// registered; the parent's first. Does nothing when already made.
void MakeCocoaProxyClass(const KsRef<KsClassObject>& classObject);
// Frees the proxy class made for the class object (its destructor calls it).
void DisposeCocoaProxyClass(KsClassObject* classObject);
std::string CocoaProxyClassName(KsClassObject* classObject);
// The class object whose proxy class this is; null for none.
KsClassObject* ClassObjectForCocoaClass(const hc::runtime::Class* cls);
