#pragma once

#include "General/KsClassMacros.h"
#include "General/KsObject.h"

// A graphics context shared between view helpers; what it shares is its
// subclasses' business.
class HcSharedGraphicsContext : public KsObject {
  HC_CLASS_HEADER(HcSharedGraphicsContext)
};
HC_CLASS_OBJECT(HcSharedGraphicsContext, KsObject)
