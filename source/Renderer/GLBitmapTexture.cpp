#include "Renderer/GLBitmapTexture.h"

#include <GL/glext.h>

#include "Source/SourceErr.h"

namespace {

bool IsPowerOfTwo(int32_t v) { return v > 0 && (v & (v - 1)) == 0; }

}  // namespace

GLBitmapTexture::GLBitmapTexture() = default;

GLBitmapTexture::~GLBitmapTexture() {
  if (m_name == 0) return;
  Deactivate();
  KS_TRACE(KsTrace::kVerbose, "Disposing of texture, ID=%i", static_cast<int32_t>(m_name));
  glDeleteTextures(1, &m_name);
}

eAppErr GLBitmapTexture::SetRenderer(const KsRef<OpenGLRenderer>& renderer) {
  m_renderer = WeakRef::GetWeakRef(renderer.Get());
  return AppErr::kNoErr;
}

KsRef<OpenGLRenderer> GLBitmapTexture::GetRenderer() const {
  return m_renderer ? m_renderer->GetTargetAs<OpenGLRenderer>() : KsRef<OpenGLRenderer>();
}

bool GLBitmapTexture::GetCanUseExactSize(const KsSize<int32_t>& size) {
  KsRef<OpenGLRenderer> renderer = GetRenderer();
  if (!renderer || size.w <= 0 || size.h <= 0) return false;
  const int32_t max = renderer->GetMaxTextureSize();
  if (size.w > max || size.h > max) return false;
  return (IsPowerOfTwo(size.w) && IsPowerOfTwo(size.h)) || renderer->SupportsNonPowerOfTwo();
}

bool GLBitmapTexture::GetCanAllocate(const KsSize<int32_t>& size) {
  if (GetCanUseExactSize(size)) return true;
  KsRef<OpenGLRenderer> renderer = GetRenderer();
  if (!renderer || size.w <= 0 || size.h <= 0) return false;
  const int32_t max = renderer->GetMaxTextureSize();
  return renderer->SupportsTextureRectangle() && size.w <= max && size.h <= max;
}

KsPointF GLBitmapTexture::TexelToTextureCoord(const KsPointF& texel) {
  if (m_target == GL_TEXTURE_RECTANGLE_ARB || GetTextureWidth() <= 0 || GetTextureHeight() <= 0) return texel;
  return {texel.x / static_cast<float>(GetTextureWidth()), texel.y / static_cast<float>(GetTextureHeight())};
}

eAppErr GLBitmapTexture::GetFullCoordRange(KsPointF* out) {
  if (m_target == 0) return KS_TRACE_ERR(AppErr::kNotReady, "GetFullCoordRange");
  if (!out) return KS_TRACE_ERR(AppErr::kBadArgument, "GetFullCoordRange");
  if (m_target == GL_TEXTURE_RECTANGLE_ARB) {
    *out = {static_cast<float>(GetTextureWidth()), static_cast<float>(GetTextureHeight())};
  } else {
    *out = {1.0f, 1.0f};
  }
  return AppErr::kNoErr;
}

bool GLBitmapTexture::SameShape(const GLBitmapTexture& other) const {
  return other.m_target == m_target && other.GetTextureWidth() == GetTextureWidth() &&
         other.GetTextureHeight() == GetTextureHeight() && other.m_upload.format == m_upload.format &&
         other.m_upload.type == m_upload.type && other.m_upload.internalFormat == m_upload.internalFormat &&
         other.GetWrapHorizontally() == GetWrapHorizontally() && other.GetWrapVertically() == GetWrapVertically();
}

void GLBitmapTexture::AllocateTexture() {
  glGenTextures(1, &m_name);
  glBindTexture(m_target, m_name);
  // Edges clamp to their own texels: GL_CLAMP would blend in the border colour.
  glTexParameteri(m_target, GL_TEXTURE_WRAP_S, GetWrapHorizontally() ? GL_REPEAT : GL_CLAMP_TO_EDGE);
  glTexParameteri(m_target, GL_TEXTURE_WRAP_T, GetWrapVertically() ? GL_REPEAT : GL_CLAMP_TO_EDGE);
  // Packed luma/chroma texels are filtered by the program, which reads them one by one.
  const bool packedPairs = m_upload.isYUV && m_upload.format == GL_LUMINANCE_ALPHA;
  const GLint filter = packedPairs ? GL_NEAREST : GL_LINEAR;
  glTexParameteri(m_target, GL_TEXTURE_MIN_FILTER, filter);
  glTexParameteri(m_target, GL_TEXTURE_MAG_FILTER, filter);
  KS_TRACE(KsTrace::kVerbose, "Creating new texture(%s) (id=%i, w=%i h=%i)%s",
           m_target == GL_TEXTURE_2D ? "Power2" : "Rect", static_cast<int32_t>(m_name), GetTextureWidth(),
           GetTextureHeight(), "");
  GLint internalFormat = m_upload.internalFormat;
  // Grey goes into an RGB texture too: the decal texture function is defined
  // only for RGB textures.
  if (!m_upload.isYUV) {
    const bool deep = m_upload.type == GL_UNSIGNED_SHORT || m_upload.type == GL_FLOAT;
    internalFormat = GetUseAlpha() ? (deep ? GL_RGBA16 : GL_RGBA8) : (deep ? GL_RGB16 : GL_RGB8);
  }
  glTexImage2D(m_target, 0, internalFormat, GetTextureWidth(), GetTextureHeight(), 0, m_upload.format,
               m_upload.type, nullptr);
  glBindTexture(m_target, 0);
}

eAppErr GLBitmapTexture::CreateTexture(const KsRef<HcTexture>& previous) {
  KsRef<OpenGLRenderer> renderer = GetRenderer();
  if (GetTextureWidth() <= 0 || GetTextureHeight() <= 0 || !GetPixelFormat() || m_name != 0 || !renderer) {
    return KS_TRACE_ERR(AppErr::kNotReady, "CreateTexture");
  }
  if (m_upload.format == 0 || m_upload.type == 0) {
    const eAppErr err = renderer->ChooseTexUpload(GetPixelFormat(), &m_upload);
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "CreateTexture");
  }
  const bool powerOfTwo = IsPowerOfTwo(GetTextureWidth()) && IsPowerOfTwo(GetTextureHeight());
  m_target = renderer->SupportsNonPowerOfTwo() || powerOfTwo ? GL_TEXTURE_2D : GL_TEXTURE_RECTANGLE_ARB;
  KsRef<GLBitmapTexture> old = previous.DynamicCast<GLBitmapTexture>();
  if (old && old->m_name != 0 && SameShape(*old)) {
    old->Deactivate();
    m_name = old->m_name;
    old->m_name = 0;
    return AppErr::kNoErr;
  }
  AllocateTexture();
  return AppErr::kNoErr;
}

eAppErr GLBitmapTexture::PrepareUpload(uint32_t rowBytes) {
  if (m_name == 0 || m_target == 0 || !GetPixelFormat()) return KS_TRACE_ERR(AppErr::kNotReady, "PrepareUpload");
  const uint32_t bytesPerPixel = GetPixelFormat()->BytesPerPixel();
  if (bytesPerPixel == 0) return KS_TRACE_ERR(AppErr::kNotReady, "PrepareUpload");
  glBindTexture(m_target, m_name);
  m_rowLength = static_cast<GLint>(rowBytes / bytesPerPixel);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, m_rowLength);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_SWAP_BYTES, m_upload.swapBytes ? GL_TRUE : GL_FALSE);
  return AppErr::kNoErr;
}

eAppErr GLBitmapTexture::UploadRect(const void* base, uint32_t rowBytes, const KsPoint<int32_t>& source,
                                    const KsRect<int32_t>& destination) {
  if (!base || !GetPixelFormat()) return KS_TRACE_ERR(AppErr::kBadArgument, "UploadRect");
  if (destination.w <= 0 || destination.h <= 0 || destination.x < 0 || destination.y < 0 ||
      destination.x + destination.w > GetTextureWidth() || destination.y + destination.h > GetTextureHeight() ||
      source.x < 0 || source.y < 0) {
    return KS_TRACE_ERR(AppErr::kBadArgument, "UploadRect");
  }
  const size_t offset = static_cast<size_t>(source.y) * rowBytes +
                        static_cast<size_t>(source.x) * GetPixelFormat()->BytesPerPixel();
  glTexSubImage2D(m_target, 0, destination.x, destination.y, destination.w, destination.h, m_upload.format,
                  m_upload.type, static_cast<const uint8_t*>(base) + offset);
  return AppErr::kNoErr;
}

void GLBitmapTexture::EndUpload() {
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
  glBindTexture(m_target, 0);
}

eAppErr GLBitmapTexture::Activate() {
  if (m_name == 0) return KS_TRACE_ERR(AppErr::kNotReady, "Activate");
  glEnable(m_target);
  glBindTexture(m_target, m_name);
  if (!m_upload.isYUV) return AppErr::kNoErr;
  KsRef<OpenGLRenderer> renderer = GetRenderer();
  YuvToRgbProgram* program = renderer ? renderer->GetYuvProgram(m_upload.yuvLayout, m_target) : nullptr;
  if (!program) return KS_TRACE_ERR(AppErr::kNotReady, "Activate");
  program->Use(static_cast<float>(GetTextureWidth()), static_cast<float>(GetTextureHeight()),
               GetWrapHorizontally(), GetWrapVertically());
  return AppErr::kNoErr;
}

eAppErr GLBitmapTexture::Deactivate() {
  if (m_target == 0) return AppErr::kNoErr;
  glBindTexture(m_target, 0);
  glDisable(m_target);
  if (m_upload.isYUV) YuvToRgbProgram::Unuse();
  return AppErr::kNoErr;
}
