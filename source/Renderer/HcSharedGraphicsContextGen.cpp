#include "Renderer/HcSharedGraphicsContext.h"

HC_DEFINE_ABSTRACT_CLASS(HcSharedGraphicsContext, KsObject, "HcSharedGraphicsContext")

void HcSharedGraphicsContext::HcSharedGraphicsContextClass::SetupProperties() {}
