#pragma once

#include <string>

#include "platform/runtime/Object.h"
#include "platform/runtime/RuntimeErr.h"
#include "platform/runtime/Value.h"

namespace hc::runtime {

// Key-value observing of plain keys on objects of the run time. Observers
// are held weakly (only native observers can be held) and are sent
// "observeValueForKeyPath:ofObject:change:context:" synchronously on the
// thread that announces the change. Key paths with "." are refused.

RuntimeErr AddKeyObserver(Id target, Id observer, const std::string& key, void* context);
// Removes every registration of the observer for the key.
RuntimeErr RemoveKeyObserver(Id target, Id observer, const std::string& key);
// Tells each live observer of the key; dead ones are dropped.
void NotifyKeyObservers(Id target, const std::string& key, const KeyValueChange& change);
// Drops every registration on the target (its destruction does this).
void ForgetKeyObservers(Id target);
// Sends "observeValueForKeyPath:ofObject:change:context:" to one observer.
RuntimeErr SendObservation(Id observer, const std::string& key, Id object, const KeyValueChange& change,
                           void* context);

}  // namespace hc::runtime
