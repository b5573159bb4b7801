#include "Renderer/AppleOpenGLRenderer.h"

#include <GL/glext.h>

#include <cstring>

#include "Source/SourceErr.h"
#include "platform/gl/GlContext.h"

AppleOpenGLRenderer::AppleOpenGLRenderer() = default;
AppleOpenGLRenderer::~AppleOpenGLRenderer() { m_masterClock = nullptr; }

eAppErr AppleOpenGLRenderer::BeginUpdate() { return OpenGLRenderer::BeginUpdate(); }

const uint32_t* AppleOpenGLRenderer::GetSupportedPixelFormats() {
  static const uint32_t kWithLumaChroma[] = {PixelFormatInfo::k2vuy, PixelFormatInfo::k32ARGB, 0};
  static const uint32_t kRgbOnly[] = {PixelFormatInfo::k32ARGB, 0};
  // With this renderer's context current, find out whether it really runs
  // the luma/chroma program (built once, then kept).
  if (YuvProgramsAvailable() && m_context && hc::gl::GlContext::Current() == m_context) {
    GetYuvProgram(YuvToRgbProgram::Layout::kPacked422CbYCrY, GL_TEXTURE_2D);
  }
  return YuvProgramsAvailable() ? kWithLumaChroma : kRgbOnly;
}

eAppErr AppleOpenGLRenderer::ChooseTexUpload(const PixelFormatInfo* info, GlTexUpload* upload) {
  if (!info || !upload) return KS_TRACE_ERR(AppErr::kBadArgument, "ChooseTexUpload");
  GlTexUpload u;
  const uint32_t code = info->code;
  auto set = [&u](GLenum format, GLenum type, GLint internalFormat, bool swap = false) {
    u.format = format;
    u.type = type;
    u.internalFormat = internalFormat;
    u.swapBytes = swap;
  };
  // Packed types are read as host-order (little-endian) words; formats whose
  // 16-bit words are big-endian are swapped on upload.
  if (code == PixelFormatInfo::k8Grey) set(GL_LUMINANCE, GL_UNSIGNED_BYTE, GL_LUMINANCE8);
  else if (code == PixelFormatCode("L555")) set(GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, GL_RGB8);
  else if (code == PixelFormatCode("5551")) set(GL_RGBA, GL_UNSIGNED_SHORT_5_5_5_1, GL_RGB8);
  else if (code == PixelFormatInfo::k16BE555) set(GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, GL_RGB8, true);
  else if (code == PixelFormatCode("L565")) set(GL_RGB, GL_UNSIGNED_SHORT_5_6_5, GL_RGB8);
  else if (code == PixelFormatCode("B565")) set(GL_RGB, GL_UNSIGNED_SHORT_5_6_5, GL_RGB8, true);
  else if (code == PixelFormatInfo::k24RGB) set(GL_RGB, GL_UNSIGNED_BYTE, GL_RGB8);
  else if (code == PixelFormatCode("24BG")) set(GL_BGR, GL_UNSIGNED_BYTE, GL_RGB8);
  // Bytes A, R, G, B: as a little-endian word B sits in the high byte.
  else if (code == PixelFormatInfo::k32ARGB) set(GL_BGRA, GL_UNSIGNED_INT_8_8_8_8, GL_RGBA8);
  else if (code == PixelFormatCode("BGRA")) set(GL_BGRA, GL_UNSIGNED_BYTE, GL_RGBA8);
  else if (code == PixelFormatCode("ABGR")) set(GL_RGBA, GL_UNSIGNED_INT_8_8_8_8, GL_RGBA8);
  else if (code == PixelFormatCode("RGBA")) set(GL_RGBA, GL_UNSIGNED_BYTE, GL_RGBA8);
  else if (code == PixelFormatCode("b48r")) set(GL_RGB, GL_UNSIGNED_SHORT, GL_RGB16, true);
  else if (code == PixelFormatCode("b16g")) set(GL_LUMINANCE, GL_UNSIGNED_SHORT, GL_LUMINANCE16, true);
  else if (code == PixelFormatCode("f32g")) set(GL_LUMINANCE, GL_FLOAT, GL_LUMINANCE16);
  else if (code == PixelFormatCode("f32r")) set(GL_RGB, GL_FLOAT, GL_RGB16);
  else if (code == PixelFormatCode("f32a")) set(GL_RGBA, GL_FLOAT, GL_RGBA16);
  else if (YuvToRgbProgram::LayoutForPixelFormat(code, &u.yuvLayout)) {
    if (!YuvProgramsAvailable()) return KS_TRACE_ERR(AppErr::kPixelFormat, "ChooseTexUpload");
    u.isYUV = true;
    if (info->componentCount == 2) set(GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE, GL_LUMINANCE8_ALPHA8);
    else if (info->componentCount == 3) set(GL_RGB, GL_UNSIGNED_BYTE, GL_RGB8);
    else set(GL_RGBA, GL_UNSIGNED_BYTE, GL_RGBA8);
  } else {
    // 16-bit ARGB ('b64a') has no matching OpenGL component order; 'r408'
    // keeps luma/chroma in a rendering layout no program here reads.
    return KS_TRACE_ERR(AppErr::kPixelFormat, "ChooseTexUpload");
  }
  *upload = u;
  return AppErr::kNoErr;
}

eAppErr AppleOpenGLRenderer::ChooseTexFormatAndType(const PixelFormatInfo* info, GLenum* format, GLenum* type) {
  if (!info || !format || !type) return KS_TRACE_ERR(AppErr::kBadArgument, "ChooseTexFormatAndType");
  GlTexUpload upload;
  const eAppErr err = ChooseTexUpload(info, &upload);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "ChooseTexFormatAndType");
  *format = upload.format;
  *type = upload.type;
  return AppErr::kNoErr;
}

eAppErr AppleOpenGLRenderer::SetGlContext(hc::gl::GlContext* context) {
  m_context = context;
  return AppErr::kNoErr;
}

eAppErr AppleOpenGLRenderer::SetGlPixelFormat(hc::gl::GlPixelFormat* format) {
  m_pixelFormat = format;
  return AppErr::kNoErr;
}

int32_t AppleOpenGLRenderer::GetSwapInterval() const { return m_context ? m_context->SwapInterval() : 0; }

eAppErr AppleOpenGLRenderer::SetSwapInterval(int32_t interval) {
  if (m_context) m_context->SetSwapInterval(interval);
  return AppErr::kNoErr;
}

hc::gl::DisplayTimeStamp AppleOpenGLRenderer::GetDisplayLinkNextOutputTime() const {
  KsSpinLockGuard guard(m_stampLock);
  return m_nextOutputTime;
}

void AppleOpenGLRenderer::SetDisplayLinkNextOutputTime(const hc::gl::DisplayTimeStamp& stamp) {
  KsSpinLockGuard guard(m_stampLock);
  m_nextOutputTime = stamp;
}

eAppErr AppleOpenGLRenderer::CopyNextOutputTimeInto(void** record) {
  if (!record || !*record) return AppErr::kBadArgument;
  const hc::gl::DisplayTimeStamp stamp = GetDisplayLinkNextOutputTime();
  std::memcpy(*record, &stamp, sizeof stamp);
  return AppErr::kNoErr;
}

eAppErr AppleOpenGLRenderer::CopyNextOutputTimeFrom(void* record) {
  if (!record) return AppErr::kBadArgument;
  hc::gl::DisplayTimeStamp stamp;
  std::memcpy(&stamp, record, sizeof stamp);
  SetDisplayLinkNextOutputTime(stamp);
  return AppErr::kNoErr;
}

eAppErr AppleOpenGLRenderer::SetMasterClock(const KsRef<KsObject>& clock) {
  DidChangeCaller change(this, kMasterClockId);
  m_masterClock = clock;
  return AppErr::kNoErr;
}

eAppErr AppleOpenGLRenderer::SetExpectedReadAhead(float seconds) {
  DidChangeCaller change(this, kExpectedReadAheadId);
  m_expectedReadAhead = seconds;
  return AppErr::kNoErr;
}
