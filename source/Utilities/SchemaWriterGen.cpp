#include "Utilities/SchemaWriter.h"

HC_DEFINE_CLASS(SchemaWriter, KsObject, "SchemaWriter")
void SchemaWriter::SchemaWriterClass::SetupProperties() {}
