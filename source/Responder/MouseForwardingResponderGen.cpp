#include "Responder/MouseForwardingResponder.h"

HC_DEFINE_CLASS(MouseForwardingResponder, MouseResponder, "MouseForwardingResponder")
void MouseForwardingResponder::MouseForwardingResponderClass::SetupProperties() {}
