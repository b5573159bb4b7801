#include "Renderer/OpenGLRenderer.h"

#include <GL/glext.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Renderer/BitmapTextureSet.h"
#include "Renderer/GLBitmapTexture.h"
#include "Renderer/GLVertexBuffer.h"
#include "Source/SourceErr.h"
#include "platform/text/GlyphAtlas.h"

namespace {

// The string, cached once OpenGL answers; "(unknown)" while it doesn't (no
// context was current yet).
PWStringRef CachedGlString(GLenum name, PWStringRef& cache) {
  if (!cache) {
    const GLubyte* text = glGetString(name);
    if (!text) return PWStringRef("(unknown)");
    cache = PWStringRef(reinterpret_cast<const char*>(text));
  }
  return cache;
}

// Column-major 4 x 4 matrix times a column vector.
void Transform(const GLdouble m[16], const GLdouble in[4], GLdouble out[4]) {
  for (int row = 0; row < 4; ++row) {
    out[row] = m[row] * in[0] + m[4 + row] * in[1] + m[8 + row] * in[2] + m[12 + row] * in[3];
  }
}

// Height of RenderText's letters, window pixels.
constexpr float kTextPixelSize = 16.0f;

size_t ProgramSlot(YuvToRgbProgram::Layout layout, GLenum target) {
  return static_cast<size_t>(layout) * 2 + (target == GL_TEXTURE_RECTANGLE_ARB ? 1 : 0);
}

}  // namespace

OpenGLRenderer::OpenGLRenderer() = default;

OpenGLRenderer::~OpenGLRenderer() {
  DeleteReadBackBuffers();
  if (m_textTexture != 0) glDeleteTextures(1, &m_textTexture);
}

void OpenGLRenderer::SelectMatrix(GLenum mode) {
  if (m_matrixMode == mode) return;
  glMatrixMode(mode);
  m_matrixMode = mode;
}

KsRef<BitmapTexture> OpenGLRenderer::CreateBitmapTexture() {
  auto texture = KsMakeRef<GLBitmapTexture>();
  texture->SetRenderer(ThisRef());
  return texture;
}

KsRef<BitmapTextureSet> OpenGLRenderer::CreateBitmapTextureSet() {
  auto set = KsMakeRef<BitmapTextureSet>();
  set->SetRenderer(ThisRef());
  return set;
}

KsRef<HcVertexBuffer> OpenGLRenderer::CreateVertexBuffer(uint32_t verticesPerStrip, uint32_t stripCount) {
  auto buffer = KsMakeRef<GLVertexBuffer>();
  if (AppErrFailed(buffer->SetVerticesPerStrip(verticesPerStrip))) return {};
  if (AppErrFailed(buffer->SetStripCount(stripCount))) return {};
  if (AppErrFailed(buffer->AllocateVertices())) return {};
  return buffer;
}

eAppErr OpenGLRenderer::InitializeState() {
  if (m_stateInitialized) return AppErr::kNoErr;
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  m_stateInitialized = true;
  return AppErr::kNoErr;
}

eAppErr OpenGLRenderer::BeginUpdate() {
  eAppErr err = PanoRenderer::BeginUpdate();
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "BeginUpdate");
  DeleteQueuedTextures();
  if (!m_stateInitialized) {
    err = InitializeState();
    if (AppErrFailed(err)) {
      PanoRenderer::EndUpdate();
      return KS_TRACE_ERR(err, "BeginUpdate");
    }
  }
  const KsRect<int32_t> rect = GetDrawableRect();
  glViewport(rect.x, rect.y, rect.w, rect.h);
  const KsColorF background = GetBackgroundColor();
  glClearColor(background.r, background.g, background.b, background.a);
  glClearDepth(1.0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  return AppErr::kNoErr;
}

eAppErr OpenGLRenderer::EndUpdate() {
  ClearDirtyQuietly();
  AddFrameSample();
  return PanoRenderer::EndUpdate();
}

void OpenGLRenderer::AddFrameSample() {
  m_frameTimes[m_frameSampleNext] = std::chrono::steady_clock::now();
  m_frameSampleNext = (m_frameSampleNext + 1) % kFrameSamples;
  if (m_frameSampleCount < kFrameSamples) ++m_frameSampleCount;
}

float OpenGLRenderer::GetFPS() const {
  if (m_frameSampleCount < 2) return 0.0f;
  const size_t newest = (m_frameSampleNext + kFrameSamples - 1) % kFrameSamples;
  const size_t oldest = (m_frameSampleNext + kFrameSamples - m_frameSampleCount) % kFrameSamples;
  const double span = std::chrono::duration<double>(m_frameTimes[newest] - m_frameTimes[oldest]).count();
  return span > 0.0 ? static_cast<float>(static_cast<double>(m_frameSampleCount - 1) / span) : 0.0f;
}

void OpenGLRenderer::DeleteReadBackBuffers() {
  if (m_readBackCount > 0) glDeleteBuffers(m_readBackCount, m_readBackBuffers.data());
  m_readBackBuffers.fill(0);
  m_readBackFilled.fill(false);
  m_readBackCount = 0;
  m_readBackIndex = 0;
}

void OpenGLRenderer::SetUpReadBackBuffers(int32_t drawableWidth, int32_t drawableHeight) {
  DeleteReadBackBuffers();
  m_readBackCount = std::min(m_readBackDepth, kMaxReadBackBuffers);
  glGenBuffers(m_readBackCount, m_readBackBuffers.data());
  const GLsizeiptr bytes = static_cast<GLsizeiptr>(drawableWidth) * drawableHeight * 4;
  for (int32_t i = 0; i < m_readBackCount; ++i) {
    glBindBuffer(GL_PIXEL_PACK_BUFFER, m_readBackBuffers[static_cast<size_t>(i)]);
    glBufferData(GL_PIXEL_PACK_BUFFER, bytes, nullptr, GL_STREAM_READ);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
  }
  m_readBackKey = drawableWidth ^ drawableHeight ^ m_readBackCount;
}

void OpenGLRenderer::CopyFrameBuffer(const uint32_t* pixelFormat, void* buffer, int32_t width, int32_t height,
                                     int32_t rowBytes) {
  if (!pixelFormat || !buffer) {
    KS_TRACE(KsTrace::kError, "CopyFrameBuffer(0x%p, 0x%p) called with NULL pixelFormat or buffer",
             static_cast<const void*>(pixelFormat), buffer);
    return;
  }
  if (*pixelFormat != PixelFormatInfo::k32ARGB) {
    KS_TRACE(KsTrace::kError, "CopyFrameBuffer called with unsupported pixel format %i",
             static_cast<int32_t>(*pixelFormat));
    return;
  }
  int32_t drawableWidth = 0;
  int32_t drawableHeight = 0;
  GetDrawableSize(&drawableWidth, &drawableHeight);
  width = std::min(width, drawableWidth);
  height = std::min(height, drawableHeight);
  if (width <= 0 || height <= 0 || static_cast<int64_t>(rowBytes) < static_cast<int64_t>(width) * 4) {
    KS_TRACE(KsTrace::kError, "CopyFrameBuffer called with %i x %i pixels in rows of %i bytes", width, height,
             rowBytes);
    return;
  }
  const int32_t key = drawableWidth ^ drawableHeight ^ std::min(m_readBackDepth, kMaxReadBackBuffers);
  if (m_readBackCount == 0 || key != m_readBackKey) SetUpReadBackBuffers(drawableWidth, drawableHeight);

  const size_t index = static_cast<size_t>(m_readBackIndex);
  if (m_readBackBuffers[index] != 0) {
    // Read what is being drawn into (the bound framebuffer's draw buffer),
    // not a front buffer that an off-screen drawable doesn't have.
    GLint drawBuffer = GL_BACK;
    GLint readBuffer = GL_BACK;
    glGetIntegerv(GL_DRAW_BUFFER, &drawBuffer);
    glGetIntegerv(GL_READ_BUFFER, &readBuffer);
    GLint packAlignment = 4;
    GLint packRowLength = 0;
    glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
    glGetIntegerv(GL_PACK_ROW_LENGTH, &packRowLength);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, m_readBackBuffers[index]);
    glReadBuffer(static_cast<GLenum>(drawBuffer));
    // Bytes A, R, G, B in memory: the 32-bit word read in host (little-endian)
    // order holds B in its high byte.
    glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8, nullptr);
    glReadBuffer(static_cast<GLenum>(readBuffer));
    glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
    glPixelStorei(GL_PACK_ROW_LENGTH, packRowLength);
    m_readBackFilled[index] = true;
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
  }
  const size_t next = (index + 1) % static_cast<size_t>(m_readBackCount);
  if (m_readBackBuffers[next] != 0 && m_readBackFilled[next]) {
    glBindBuffer(GL_PIXEL_PACK_BUFFER, m_readBackBuffers[next]);
    const auto* mapped = static_cast<const uint8_t*>(glMapBuffer(GL_PIXEL_PACK_BUFFER, GL_READ_ONLY));
    if (mapped) {
      const size_t rowLength = static_cast<size_t>(width) * 4;
      auto* out = static_cast<uint8_t*>(buffer);
      for (int32_t row = 0; row < height; ++row) {
        std::memcpy(out + static_cast<size_t>(height - 1 - row) * static_cast<size_t>(rowBytes),
                    mapped + static_cast<size_t>(row) * rowLength, rowLength);
      }
      glUnmapBuffer(GL_PIXEL_PACK_BUFFER);
    }
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
  }
  m_readBackIndex = static_cast<int32_t>(next);
}

eAppErr OpenGLRenderer::SetViewport(const KsRect<int32_t>& rect) {
  glViewport(rect.x, rect.y, rect.w, rect.h);
  return AppErr::kNoErr;
}

eAppErr OpenGLRenderer::Ortho2D(const KsRectF& rect, bool loadIdentity) {
  SelectMatrix(GL_PROJECTION);
  if (loadIdentity) glLoadIdentity();
  glOrtho(rect.x, rect.x + rect.w, rect.y + rect.h, rect.y, -10.0, 10.0);
  glScalef(GetPixelAspectRatio(), 1.0f, 1.0f);
  return AppErr::kNoErr;
}

eAppErr OpenGLRenderer::Perspective(double fieldOfViewYDeg, double aspect, double zNear, double zFar,
                                    bool loadIdentity) {
  SelectMatrix(GL_PROJECTION);
  if (loadIdentity) glLoadIdentity();
  const double top = zNear * std::tan(fieldOfViewYDeg * M_PI / 360.0);
  const double right = top * aspect;
  glFrustum(-right, right, -top, top, zNear, zFar);
  glScalef(GetPixelAspectRatio(), 1.0f, 1.0f);
  return AppErr::kNoErr;
}

eAppErr OpenGLRenderer::ModelViewIdentity() {
  SelectMatrix(GL_MODELVIEW);
  glLoadIdentity();
  return AppErr::kNoErr;
}

eAppErr OpenGLRenderer::ModelViewTranslate(float x, float y, float z) {
  SelectMatrix(GL_MODELVIEW);
  glTranslatef(x, y, z);
  return AppErr::kNoErr;
}

eAppErr OpenGLRenderer::ModelViewRotate(double angleDeg, double x, double y, double z) {
  SelectMatrix(GL_MODELVIEW);
  glRotated(angleDeg, x, y, z);
  return AppErr::kNoErr;
}

eAppErr OpenGLRenderer::ClearDepthBuffer() {
  glClear(GL_DEPTH_BUFFER_BIT);
  return AppErr::kNoErr;
}

eAppErr OpenGLRenderer::FillRectWithBackground(const KsRect<int32_t>& rect) {
  glDepthFunc(GL_LESS);
  const KsColorF background = GetBackgroundColor();
  glColor4f(background.r, background.g, background.b, background.a);
  const float x = static_cast<float>(rect.x);
  const float y = static_cast<float>(rect.y);
  const float w = static_cast<float>(rect.w);
  const float h = static_cast<float>(rect.h);
  glBegin(GL_TRIANGLE_STRIP);
  glVertex3f(x, y, -0.95f);
  glVertex3f(x, y + h, -0.95f);
  glVertex3f(x + w, y, -0.95f);
  glVertex3f(x + w, y + h, -0.95f);
  glEnd();
  // The depth test is now "less": remember it, so a later SetDepthFunc(1)
  // isn't skipped while another function was cached.
  m_depthFunc = 1;
  return AppErr::kNoErr;
}

eAppErr OpenGLRenderer::SetDepthCompare(int32_t compare) { return SetDepthFunc(DepthFuncForCompare(compare)); }

eAppErr OpenGLRenderer::SetBlendFunc(int32_t mode) {
  switch (mode) {
    case 0: glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA); return AppErr::kNoErr;
    case 1: glBlendFunc(GL_SRC_ALPHA, GL_ONE); return AppErr::kNoErr;
    default: return KS_TRACE_ERR(AppErr::kUnsupportedMode, "SetBlendFunc");
  }
}

eAppErr OpenGLRenderer::SetTexFunc(int32_t mode) {
  switch (mode) {
    case 0: glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE); return AppErr::kNoErr;
    case 1: glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL); return AppErr::kNoErr;
    default: return KS_TRACE_ERR(AppErr::kUnsupportedMode, "SetTexFunc");
  }
}

eAppErr OpenGLRenderer::SetCullFunc(int32_t mode) {
  if (mode == -1) {
    m_cullMode = -1;
    return KS_TRACE_ERR(AppErr::kUnsupportedMode, "SetCullFunc");
  }
  if (mode == m_cullMode) return AppErr::kNoErr;
  const bool culling = m_cullMode == 1 || m_cullMode == 2;
  if (mode == 1) {
    if (m_cullMode != 2) glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
  } else if (mode == 2) {
    if (m_cullMode != 1) glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
  } else if (mode == 0 && culling) {
    glDisable(GL_CULL_FACE);
  }
  m_cullMode = mode;
  return AppErr::kNoErr;
}

eAppErr OpenGLRenderer::SetFillMode(int32_t mode) {
  switch (mode) {
    case 0: glPolygonMode(GL_FRONT_AND_BACK, GL_FILL); return AppErr::kNoErr;
    case 1: glPolygonMode(GL_FRONT_AND_BACK, GL_LINE); return AppErr::kNoErr;
    default: return KS_TRACE_ERR(AppErr::kUnsupportedMode, "SetFillMode");
  }
}

eAppErr OpenGLRenderer::SetDepthFunc(int32_t func) {
  static constexpr GLenum kFuncs[] = {GL_NEVER,  GL_LESS,    GL_LEQUAL, GL_EQUAL,
                                      GL_GEQUAL, GL_GREATER, GL_ALWAYS, GL_NOTEQUAL};
  if (func == -1) {
    m_depthFunc = -1;
    return KS_TRACE_ERR(AppErr::kUnsupportedMode, "SetDepthFunc");
  }
  if (func == m_depthFunc) return AppErr::kNoErr;
  if (func < 0 || func > 7) return AppErr::kUnsupportedMode;
  glDepthFunc(kFuncs[func]);
  m_depthFunc = func;
  return AppErr::kNoErr;
}

eAppErr OpenGLRenderer::SetLineWidth(float width) {
  glLineWidth(width);
  return AppErr::kNoErr;
}

eAppErr OpenGLRenderer::SetColor(float r, float g, float b, float a) {
  glColor4f(r, g, b, a);
  return AppErr::kNoErr;
}

eAppErr OpenGLRenderer::ProjectPoint(float* x, float* y, float* z) {
  if (!x || !y || !z) return KS_TRACE_ERR(AppErr::kBadArgument, "ProjectPoint");
  GLint viewport[4] = {0, 0, 0, 0};
  GLdouble modelView[16];
  GLdouble projection[16];
  glGetIntegerv(GL_VIEWPORT, viewport);
  glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  const GLdouble point[4] = {*x, *y, *z, 1.0};
  GLdouble eye[4];
  GLdouble clip[4];
  Transform(modelView, point, eye);
  Transform(projection, eye, clip);
  if (clip[3] == 0.0) return KS_TRACE_ERR(AppErr::kOutOfRange, "ProjectPoint");
  const double nx = clip[0] / clip[3];
  const double ny = clip[1] / clip[3];
  const double nz = clip[2] / clip[3];
  *x = static_cast<float>(viewport[0] + viewport[2] * (nx + 1.0) / 2.0);
  *y = static_cast<float>(viewport[1] + viewport[3] * (ny + 1.0) / 2.0);
  *z = static_cast<float>((nz + 1.0) / 2.0);
  return AppErr::kNoErr;
}

int32_t OpenGLRenderer::GetMaxTextureSize() {
  if (m_maxTextureSize == 0) glGetIntegerv(GL_MAX_TEXTURE_SIZE, &m_maxTextureSize);
  return m_maxTextureSize;
}

bool OpenGLRenderer::HasExtension(const PWStringRef& name) {
  if (!m_extensions) {
    m_extensions = std::make_unique<std::set<PWStringRef, PWStringLessNoCase>>();
    if (const GLubyte* list = glGetString(GL_EXTENSIONS)) {
      std::string_view words(reinterpret_cast<const char*>(list));
      while (!words.empty()) {
        const size_t space = words.find(' ');
        const std::string_view word = words.substr(0, space);
        if (!word.empty()) m_extensions->insert(PWStringRef(word));
        if (space == std::string_view::npos) break;
        words.remove_prefix(space + 1);
      }
    }
  }
  return m_extensions->count(name) != 0;
}

bool OpenGLRenderer::SupportsNonPowerOfTwo() {
  return HasExtension("GL_ARB_texture_non_power_of_two") || HasExtension("ARB_texture_non_power_of_two");
}

bool OpenGLRenderer::SupportsTextureRectangle() {
  return HasExtension("GL_EXT_texture_rectangle") || HasExtension("GL_NV_texture_rectangle") ||
         HasExtension("GL_ARB_texture_rectangle");
}

YuvToRgbProgram* OpenGLRenderer::GetYuvProgram(YuvToRgbProgram::Layout layout, GLenum target) {
  if (m_yuvProgramsFailed) return nullptr;
  std::unique_ptr<YuvToRgbProgram>& slot = m_yuvPrograms[ProgramSlot(layout, target)];
  if (!slot && AppErrFailed(YuvToRgbProgram::Create(layout, target, &slot))) {
    m_yuvProgramsFailed = true;
    return nullptr;
  }
  return slot.get();
}

PWStringRef OpenGLRenderer::GetGLVersion() { return CachedGlString(GL_VERSION, m_version); }
PWStringRef OpenGLRenderer::GetGLVendor() { return CachedGlString(GL_VENDOR, m_vendor); }

void OpenGLRenderer::DeleteTextureLater(GLuint name) {
  if (name == 0) return;
  std::lock_guard<std::mutex> lock(m_deletionLock);
  m_texturesToDelete.push_back(name);
}

void OpenGLRenderer::DeleteQueuedTextures() {
  std::vector<GLuint> names;
  {
    std::lock_guard<std::mutex> lock(m_deletionLock);
    names.swap(m_texturesToDelete);
  }
  if (!names.empty()) glDeleteTextures(static_cast<GLsizei>(names.size()), names.data());
}

uint64_t OpenGLRenderer::GetRasterisedGlyphCount() const {
  return m_glyphAtlas ? m_glyphAtlas->RasterisedGlyphs() : 0;
}

bool OpenGLRenderer::UpdateTextTexture() {
  const bool made = m_textTexture == 0;
  if (made) glGenTextures(1, &m_textTexture);
  if (m_textTexture == 0) return false;
  glBindTexture(GL_TEXTURE_2D, m_textTexture);
  if (made || m_textTextureGeneration != m_glyphAtlas->Generation()) {
    GLint rowLength = 0;
    GLint alignment = 4;
    GLint unpackBuffer = 0;
    glGetIntegerv(GL_UNPACK_ROW_LENGTH, &rowLength);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glGetIntegerv(GL_PIXEL_UNPACK_BUFFER_BINDING, &unpackBuffer);
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA8, hc::text::GlyphAtlas::kSide, hc::text::GlyphAtlas::kSide, 0, GL_ALPHA,
                 GL_UNSIGNED_BYTE, m_glyphAtlas->Texels().data());
    glPixelStorei(GL_UNPACK_ROW_LENGTH, rowLength);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, static_cast<GLuint>(unpackBuffer));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    m_textTextureGeneration = m_glyphAtlas->Generation();
  }
  return true;
}

eAppErr OpenGLRenderer::RenderText(float x, float y, float z, const PWStringRef& text) {
  if (text.IsNull() || text.IsEmpty()) return AppErr::kNoErr;
  float wx = x;
  float wy = y;
  float wz = z;
  eAppErr err = ProjectPoint(&wx, &wy, &wz);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "RenderText");
  if (!std::isfinite(wx) || !std::isfinite(wy)) return AppErr::kNoErr;
  if (!m_glyphAtlas) m_glyphAtlas = std::make_unique<hc::text::GlyphAtlas>(kTextPixelSize);
  std::vector<hc::text::GlyphAtlas::Quad> quads;
  const hc::text::TextErr laid = m_glyphAtlas->Layout(text.View(), &quads);
  if (laid != hc::text::TextErr::Ok && laid != hc::text::TextErr::TooLarge) {
    return KS_TRACE_ERR(AppErr::kGeneral, "RenderText");
  }
  if (quads.empty()) return AppErr::kNoErr;

  GLint viewport[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_VIEWPORT, viewport);
  GLint program = 0;
  glGetIntegerv(GL_CURRENT_PROGRAM, &program);
  glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_POLYGON_BIT);
  glUseProgram(0);
  glActiveTexture(GL_TEXTURE0);
  glDisable(GL_TEXTURE_RECTANGLE_ARB);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_TEXTURE_2D);
  if (UpdateTextTexture()) {
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    // Window pixels, y upward, depth as given.
    SelectMatrix(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(viewport[0], viewport[0] + viewport[2], viewport[1], viewport[1] + viewport[3], 0.0, -1.0);
    SelectMatrix(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    const float left = std::round(wx);
    const float top = std::round(wy);
    const float depth = std::clamp(wz, 0.0f, 1.0f);
    glBegin(GL_QUADS);
    for (const auto& q : quads) {
      glTexCoord2f(q.s0, q.t0);
      glVertex3f(left + q.x0, top - q.y0, depth);
      glTexCoord2f(q.s0, q.t1);
      glVertex3f(left + q.x0, top - q.y1, depth);
      glTexCoord2f(q.s1, q.t1);
      glVertex3f(left + q.x1, top - q.y1, depth);
      glTexCoord2f(q.s1, q.t0);
      glVertex3f(left + q.x1, top - q.y0, depth);
    }
    glEnd();
    glPopMatrix();
    SelectMatrix(GL_PROJECTION);
    glPopMatrix();
  }
  glPopAttrib();
  glUseProgram(static_cast<GLuint>(program));
  return AppErr::kNoErr;
}
