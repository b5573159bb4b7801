#pragma once

#include "General/KsClassMacros.h"
#include "General/KsObject.h"

// The writer of proxy-class descriptions. It exists as a class to be created
// by name; it has no properties and no behaviour of its own.
class ProxyDescWriter : public KsObject {
  HC_CLASS_HEADER(ProxyDescWriter)
};
HC_CLASS_OBJECT(ProxyDescWriter, KsObject)
