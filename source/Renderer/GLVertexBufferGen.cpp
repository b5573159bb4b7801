#include "Renderer/GLVertexBuffer.h"

HC_DEFINE_CLASS(GLVertexBuffer, HcVertexBuffer, "GLVertexBuffer")

void GLVertexBuffer::GLVertexBufferClass::SetupProperties() {}
