#pragma once

#include "General/KsClassMacros.h"
#include "General/KsObject.h"

// The writer of class descriptions as a schema. It exists as a class to be
// created by name; it has no properties and no behaviour of its own.
class SchemaWriter : public KsObject {
  HC_CLASS_HEADER(SchemaWriter)
};
HC_CLASS_OBJECT(SchemaWriter, KsObject)
