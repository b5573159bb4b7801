#include "Renderer/GLVertexBuffer.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstring>

namespace {

GLenum UsageOf(int32_t usage) {
  switch (usage) {
    case HcVertexBuffer::kStatic: return GL_STATIC_DRAW;
    case HcVertexBuffer::kDynamic: return GL_DYNAMIC_DRAW;
    case HcVertexBuffer::kStream: return GL_STREAM_DRAW;
    default: return 0;
  }
}

void FillBuffer(GLuint buffer, const void* data, size_t bytes, int32_t usage) {
  glBindBuffer(GL_ARRAY_BUFFER, buffer);
  const GLenum glUsage = UsageOf(usage);
  if (glUsage != 0) glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(bytes), data, glUsage);
}

GLenum PrimitiveOf(int32_t mode) {
  switch (mode) {
    case HcVertexBuffer::kTriangleFan: return GL_TRIANGLE_FAN;
    case HcVertexBuffer::kLineStrip: return GL_LINE_STRIP;
    case HcVertexBuffer::kPolygon: return GL_POLYGON;
    case HcVertexBuffer::kLines: return GL_LINES;
    default: return GL_TRIANGLE_STRIP;
  }
}

}  // namespace

GLVertexBuffer::GLVertexBuffer() { SetPositionUsage(kStream); }

GLVertexBuffer::~GLVertexBuffer() {
  const GLuint buffers[2] = {m_positionBuffer, m_texCoordBuffer};
  if (m_positionBuffer != 0 || m_texCoordBuffer != 0) glDeleteBuffers(2, buffers);
}

void GLVertexBuffer::CreateBuffers() {
  if (GetUseTexCoords()) {
    GLuint names[2] = {0, 0};
    glGenBuffers(2, names);
    m_positionBuffer = names[0];
    m_texCoordBuffer = names[1];
    FillBuffer(m_texCoordBuffer, TexCoords().data(), TexCoords().size() * sizeof(TCoord), TexCoordUsage());
  } else {
    glGenBuffers(1, &m_positionBuffer);
  }
  FillBuffer(m_positionBuffer, Positions().data(), Positions().size() * sizeof(VCoord), PositionUsage());
}

void GLVertexBuffer::CopyInto(unsigned buffer, const void* data, size_t bytes) {
  glBindBuffer(GL_ARRAY_BUFFER, buffer);
  GLint size = 0;
  glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
  if (static_cast<size_t>(size) < bytes || bytes == 0) return;
  void* mapped = glMapBuffer(GL_ARRAY_BUFFER, GL_READ_WRITE);
  if (!mapped) return;
  std::memcpy(mapped, data, bytes);
  glUnmapBuffer(GL_ARRAY_BUFFER);
}

eAppErr GLVertexBuffer::UnlockBuffer() {
  if (m_positionBuffer == 0) CreateBuffers();
  CopyInto(m_positionBuffer, Positions().data(), Positions().size() * sizeof(VCoord));
  if (GetUseTexCoords() && m_texCoordBuffer != 0) {
    CopyInto(m_texCoordBuffer, TexCoords().data(), TexCoords().size() * sizeof(TCoord));
  }
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  return AppErr::kNoErr;
}

eAppErr GLVertexBuffer::Draw() {
  if (!IsAllocated()) return KS_TRACE_ERR(AppErr::kNotReady, "Draw");
  if (m_positionBuffer == 0 || !glIsBuffer(m_positionBuffer)) CreateBuffers();
  glBindBuffer(GL_ARRAY_BUFFER, m_positionBuffer);
  if (glGetError() != GL_NO_ERROR) KS_TRACE(KsTrace::kError, "Bind Error");
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, sizeof(VCoord), nullptr);
  if (GetUseTexCoords() && m_texCoordBuffer != 0) {
    glBindBuffer(GL_ARRAY_BUFFER, m_texCoordBuffer);
    if (glGetError() != GL_NO_ERROR) KS_TRACE(KsTrace::kError, "Bind Error");
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, sizeof(TCoord), nullptr);
  } else {
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  }
  const GLenum primitive = PrimitiveOf(GetDrawMode());
  const GLsizei perStrip = static_cast<GLsizei>(GetVerticesPerStrip());
  for (uint32_t strip = 0; strip < GetStripCount(); ++strip) {
    glDrawArrays(primitive, static_cast<GLint>(strip * GetVerticesPerStrip()), perStrip);
  }
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  return AppErr::kNoErr;
}
