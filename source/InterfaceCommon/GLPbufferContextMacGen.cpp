#include "InterfaceCommon/GLPbufferContextMac.h"

HC_DEFINE_CLASS(GLPbufferContextMac, HcViewHelper, "GLPbufferContextMac")

// Its properties are the view helper's.
void GLPbufferContextMac::GLPbufferContextMacClass::SetupProperties() {}
