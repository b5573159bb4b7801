#pragma once

#include "General/KsTypeSafeCollection.h"
#include "Responder/KeyboardResponder.h"

// An ordered list of keyboard responders (the key bindings of a binding
// responder), known to HcML as "keyboardresponders" with "keyboardresponder"
// elements.
class KeyboardResponderCollection : public KsTypeSafeCollection<KeyboardResponder> {
  HC_CLASS_HEADER(KeyboardResponderCollection)
};
HC_OBJECT_COLLECTION_CLASS_OBJECT(KeyboardResponderCollection)
