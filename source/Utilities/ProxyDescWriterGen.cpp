#include "Utilities/ProxyDescWriter.h"

HC_DEFINE_CLASS(ProxyDescWriter, KsObject, "ProxyDescWriter")
void ProxyDescWriter::ProxyDescWriterClass::SetupProperties() {}
