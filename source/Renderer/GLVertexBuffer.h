#pragma once

#include "Renderer/HcVertexBuffer.h"

// A vertex buffer whose positions and texture coordinates live in OpenGL
// buffer objects, drawn one glDrawArrays per strip. The buffers are made on
// the first upload or draw and deleted with the object, each with the
// renderer's context current.
class GLVertexBuffer : public HcVertexBuffer {
  HC_CLASS_HEADER(GLVertexBuffer)
 public:
  GLVertexBuffer();
  ~GLVertexBuffer() override;

  eAppErr UnlockBuffer() override;
  eAppErr Draw() override;

 private:
  void CreateBuffers();
  void CopyInto(unsigned buffer, const void* data, size_t bytes);

  unsigned m_positionBuffer = 0;
  unsigned m_texCoordBuffer = 0;
};
HC_CLASS_OBJECT(GLVertexBuffer, HcVertexBuffer)
