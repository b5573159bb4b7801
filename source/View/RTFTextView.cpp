#include "View/RTFTextView.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cmath>
#include <span>

#include "General/KsData.h"
#include "Renderer/OpenGLRenderer.h"
#include "Responder/MouseIgnoreResponder.h"
#include "platform/text/RtfReader.h"
#include "platform/text/TextRasterizer.h"

namespace {

hc::text::Rgba8 ToRgba8(const KsColorF& color) {
  const auto component = [](float value) {
    const float clamped = std::isfinite(value) ? std::clamp(value, 0.0f, 1.0f) : 0.0f;
    return static_cast<uint8_t>(std::lround(clamped * 255.0f));
  };
  return {component(color.r), component(color.g), component(color.b), component(color.a)};
}

eAppErr AppErrFromTextErr(hc::text::TextErr err) {
  switch (err) {
    case hc::text::TextErr::Ok: return AppErr::kNoErr;
    case hc::text::TextErr::BadArgument: return AppErr::kBadArgument;
    case hc::text::TextErr::OutOfMemory: return AppErr::kOutOfMemory;
    case hc::text::TextErr::TooLarge: return AppErr::kOutOfRange;
    case hc::text::TextErr::MalformedRtf:
    case hc::text::TextErr::NoFont: break;
  }
  return AppErr::kGeneral;
}

// OpenGL answers no version string without a current context.
bool HasCurrentGlContext() { return glGetString(GL_VERSION) != nullptr; }

}  // namespace

RTFTextView::RTFTextView() {
  if (auto ignore = GetMouseResponder().DynamicCast<MouseIgnoreResponder>()) ignore->SetTransparent(true);
}

RTFTextView::~RTFTextView() { GiveUpTexture(); }

void RTFTextView::GiveUpTexture() {
  if (m_textureName != 0 && m_textureOwner) {
    if (KsRef<OpenGLRenderer> owner = m_textureOwner->GetTargetAs<OpenGLRenderer>()) {
      owner->DeleteTextureLater(m_textureName);
    }
  }
  // A renderer that is gone took its context, and the texture, with it.
  m_textureName = 0;
  m_textureOwner = nullptr;
}

const hc::text::StyledText* RTFTextView::ParsedText() {
  if (!m_parsedValid) {
    m_parsedValid = true;
    m_parsed.reset();
    if (m_rtfData && m_rtfData->GetLength() > 0) {
      const auto* bytes = static_cast<const uint8_t*>(m_rtfData->GetMutableBytes());
      auto text = std::make_unique<hc::text::StyledText>();
      if (bytes && hc::text::RtfReader::Read(std::span<const uint8_t>(bytes, m_rtfData->GetLength()), text.get()) ==
                       hc::text::TextErr::Ok) {
        m_parsed = std::move(text);
      } else {
        KS_TRACE(KsTrace::kWarning, "RTFData of %u bytes is not RTF this view can read; nothing is drawn",
                 m_rtfData->GetLength());
      }
    }
  }
  return m_parsed.get();
}

eAppErr RTFTextView::StringTexture(const KsRef<PanoRenderer>& renderer) {
  GiveUpTexture();
  m_textureWidth = 0;
  m_textureHeight = 0;
  const hc::text::StyledText* text = ParsedText();
  if (!text) return AppErr::kNoErr;
  hc::text::RasterOptions options;
  options.scale = m_scale;
  options.textColor = ToRgba8(m_textColor);
  options.backgroundColor = ToRgba8(m_backgroundColor);
  hc::text::RgbaImage image;
  const hc::text::TextErr err = hc::text::TextRasterizer::Rasterize(*text, options, &image);
  if (err != hc::text::TextErr::Ok) return KS_TRACE_ERR(AppErrFromTextErr(err), "StringTexture");
  ++m_rasterizeCount;
  m_textureWidth = image.width;
  m_textureHeight = image.height;
  if (!HasCurrentGlContext()) {
    KS_TRACE(KsTrace::kError, "StringTexture -genTexture: Failure to get current OpenGL context\n");
    return AppErr::kNoErr;
  }
  if (image.width == 0 || image.height == 0) return AppErr::kNoErr;
  return Upload(renderer, image.pixels.data());
}

eAppErr RTFTextView::Upload(const KsRef<PanoRenderer>& renderer, const void* pixels) {
  GLint rowLength = 0;
  GLint alignment = 4;
  GLint unpackBuffer = 0;
  glGetIntegerv(GL_UNPACK_ROW_LENGTH, &rowLength);
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  glGetIntegerv(GL_PIXEL_UNPACK_BUFFER_BINDING, &unpackBuffer);
  glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, m_textureWidth);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_RECTANGLE_ARB, name);
  glTexParameteri(GL_TEXTURE_RECTANGLE_ARB, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_RECTANGLE_ARB, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_RECTANGLE_ARB, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_RECTANGLE_ARB, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexImage2D(GL_TEXTURE_RECTANGLE_ARB, 0, GL_RGBA, m_textureWidth, m_textureHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE,
               pixels);
  glBindTexture(GL_TEXTURE_RECTANGLE_ARB, 0);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, rowLength);
  glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
  glBindBuffer(GL_PIXEL_UNPACK_BUFFER, static_cast<GLuint>(unpackBuffer));
  if (name == 0) return KS_TRACE_ERR(AppErr::kGeneral, "StringTexture");
  m_textureName = name;
  m_textureOwner = WeakRef::GetWeakRef(renderer.Get());
  return AppErr::kNoErr;
}

KsRectF RTFTextView::PlaceQuad(float width, float height) const {
  const auto textureWidth = static_cast<float>(m_textureWidth);
  const auto textureHeight = static_cast<float>(m_textureHeight);
  float x = 0.0f;
  float y = 0.0f;
  switch (m_alignment & 3) {
    case kAlignRight: x = width - textureWidth; break;
    case kAlignCentre: x = (width - textureWidth) * 0.5f; break;
    default: break;
  }
  switch (m_alignment & 12) {
    case kAlignBottom: y = height - textureHeight; break;
    case kAlignMiddle: y = (height - textureHeight) * 0.5f; break;
    default: break;
  }
  return KsRectF(x, y, textureWidth, textureHeight);
}

void RTFTextView::DrawQuad(const KsRectF& q) const {
  const auto w = static_cast<float>(m_textureWidth);
  const auto h = static_cast<float>(m_textureHeight);
  // A caption lies over whatever was drawn before it.
  glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_DEPTH_BUFFER_BIT);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_RECTANGLE_ARB);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glBindTexture(GL_TEXTURE_RECTANGLE_ARB, m_textureName);
  glBegin(GL_QUADS);
  glTexCoord2f(0.0f, 0.0f);
  glVertex2f(q.x, q.y);
  glTexCoord2f(0.0f, h);
  glVertex2f(q.x, q.y + q.h);
  glTexCoord2f(w, h);
  glVertex2f(q.x + q.w, q.y + q.h);
  glTexCoord2f(w, 0.0f);
  glVertex2f(q.x + q.w, q.y);
  glEnd();
  glBindTexture(GL_TEXTURE_RECTANGLE_ARB, 0);
  glPopAttrib();
}

eAppErr RTFTextView::Draw(const KsRef<PanoRenderer>& renderer) {
  auto* openGL = dynamic_cast<OpenGLRenderer*>(renderer.Get());
  if (!openGL) return KS_TRACE_ERR(renderer ? AppErr::kUnsupportedType : AppErr::kNotReady, "Draw");
  openGL->DeleteQueuedTextures();
  const KsRectF frame = GetFrame();
  const KsSizeF size{frame.w, frame.h};
  if (m_stdDrawSize.w == 0.0f) m_stdDrawSize = size;
  if (m_scaleText) {
    const float scale = std::min(frame.w / m_stdDrawSize.w, frame.h / m_stdDrawSize.h);
    // A frame without area, or a reference size without one, shows nothing.
    if (!std::isfinite(scale) || scale <= 0.0f) return AppErr::kNoErr;
    m_scale = scale;
  }
  const bool resized = m_scaleText && !m_bitmapScaling && !(size == m_lastDrawnSize);
  const bool movedContext = m_textureName != 0 && (!m_textureOwner || m_textureOwner->PeekTarget() != openGL);
  if (!m_built || m_contentChanged || resized || movedContext) {
    const eAppErr err = StringTexture(renderer);
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "Draw");
    m_built = true;
    m_contentChanged = false;
    m_lastDrawnSize = size;
  }
  eAppErr err = renderer->SetViewport(GetPixelFrame());
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "Draw");
  err = renderer->ModelViewIdentity();
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "Draw");
  KsRectF drawing(0.0f, 0.0f, frame.w, frame.h);
  if (m_scaleText && m_bitmapScaling) {
    drawing.w *= 1.0f / m_scale;
    drawing.h *= 1.0f / m_scale;
  }
  const eAppErr orthoResult = renderer->Ortho2D(drawing, true);
  if (m_textureName != 0) DrawQuad(PlaceQuad(drawing.w, drawing.h));
  if (AppErrFailed(orthoResult)) return KS_TRACE_ERR(orthoResult, "Draw");
  return orthoResult;
}

KsRef<KsData> RTFTextView::GetRTFData() const { return m_rtfData; }

eAppErr RTFTextView::SetRTFData(const KsRef<KsData>& data) {
  if (data == m_rtfData) return AppErr::kNoErr;
  DidChangeCaller change(this, kRTFDataId);
  m_rtfData = data;
  m_parsedValid = false;
  m_contentChanged = true;
  return AppErr::kNoErr;
}

eAppErr RTFTextView::SetTextColor(const KsColorF& color) {
  DidChangeCaller change(this, kTextColorId);
  if (!(color == m_textColor)) m_contentChanged = true;
  m_textColor = color;
  return AppErr::kNoErr;
}

eAppErr RTFTextView::SetBackgroundColor(const KsColorF& color) {
  DidChangeCaller change(this, kBackgroundColorId);
  if (!(color == m_backgroundColor)) m_contentChanged = true;
  m_backgroundColor = color;
  return AppErr::kNoErr;
}

eAppErr RTFTextView::SetScaleText(bool scale) {
  DidChangeCaller change(this, kScaleTextId);
  m_scaleText = scale;
  return AppErr::kNoErr;
}

eAppErr RTFTextView::SetStdDrawSize(const KsSizeF& size) {
  DidChangeCaller change(this, kStdDrawSizeId);
  m_stdDrawSize = size;
  return AppErr::kNoErr;
}

eAppErr RTFTextView::SetAlignment(uint32_t alignment) {
  DidChangeCaller change(this, kAlignmentId);
  m_alignment = alignment;
  return AppErr::kNoErr;
}

eAppErr RTFTextView::SetBitmapScaling(bool bitmapScaling) {
  DidChangeCaller change(this, kBitmapScalingId);
  m_bitmapScaling = bitmapScaling;
  return AppErr::kNoErr;
}
