#include "Responder/KeyboardResponderCollection.h"

HC_DEFINE_OBJECT_COLLECTION_CLASS(KeyboardResponderCollection, KeyboardResponder, "keyboardresponders",
                                  "keyboardresponder")
