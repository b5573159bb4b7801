#include "Renderer/HcVertexBuffer.h"

HC_DEFINE_ABSTRACT_CLASS(HcVertexBuffer, KsObject, "HcVertexBuffer")

void HcVertexBuffer::HcVertexBufferClass::SetupProperties() {}
