#include "Responder/KeyboardResponder.h"

HC_DEFINE_CLASS(KeyboardResponder, KsObject, "KeyboardIgnoreResponder")
void KeyboardResponder::KeyboardResponderClass::SetupProperties() {}
