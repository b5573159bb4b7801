#include "Renderer/YuvToRgbProgram.h"

#include <GL/glext.h>

#include <string>

#include "KsTrace.h"
#include "Source/PixelFormatInfo.h"

namespace {

using Layout = YuvToRgbProgram::Layout;

// Texture coordinates arrive in texels for a rectangle target and normalised
// for a 2D one. Packed 4:2:2 texels are fetched one by one at their centres
// and filtered here, since a luma texel's chroma sits in its pair partner.
constexpr const char* kSource = R"GLSL(
#ifdef RECT
#extension GL_ARB_texture_rectangle : enable
uniform sampler2DRect tex0;
uniform sampler2DRect tex1;
uniform sampler2DRect tex2;
vec4 sample0(vec2 texel) { return texture2DRect(tex0, texel); }
vec4 sampleAt(sampler2DRect s, vec2 tc, vec2 scale) { return texture2DRect(s, tc * scale); }
vec2 lumaTexels(vec2 tc, vec2 size) { return tc; }
#else
uniform sampler2D tex0;
uniform sampler2D tex1;
uniform sampler2D tex2;
uniform vec2 texSizeForSample;
vec4 sample0(vec2 texel) { return texture2D(tex0, texel / texSizeForSample); }
vec4 sampleAt(sampler2D s, vec2 tc, vec2 scale) { return texture2D(s, tc); }
vec2 lumaTexels(vec2 tc, vec2 size) { return tc * size; }
#endif
uniform vec2 texSize;
uniform vec2 wrap;
uniform vec2 chromaScale;
uniform mat3 yuvToRgb;
uniform vec3 yuvOffset;

vec3 toRgb(vec3 yuv) { return clamp(yuvToRgb * (yuv - yuvOffset), 0.0, 1.0); }

#ifdef PACKED422
#ifdef CHROMA_FIRST
#define LUMA(t) (t).a
#define CHROMA(t) (t).r
#else
#define LUMA(t) (t).r
#define CHROMA(t) (t).a
#endif
float chromaValue(float c) {
#ifdef SIGNED_CHROMA
  return mod(c * 255.0 + 128.0, 256.0) / 255.0;
#else
  return c;
#endif
}
float wrapOrClamp(float v, float size, float wraps, float last) {
  return wraps > 0.5 ? mod(v, size) : clamp(v, 0.0, last);
}
vec4 fetch(vec2 texel) { return sample0(texel + 0.5); }
// Cb and Cr of the pair that starts at the even texel x.
vec2 pairChroma(float x, float y) {
  x = wrapOrClamp(x, texSize.x, wrap.x, texSize.x - 2.0);
  return vec2(chromaValue(CHROMA(fetch(vec2(x, y)))), chromaValue(CHROMA(fetch(vec2(x + 1.0, y)))));
}
vec3 rgbAt(vec2 p) {
  p.x = wrapOrClamp(p.x, texSize.x, wrap.x, texSize.x - 1.0);
  p.y = wrapOrClamp(p.y, texSize.y, wrap.y, texSize.y - 1.0);
  float even = p.x - mod(p.x, 2.0);
  // Both pixels of a pair take the pair's chroma, as the decoders' own
  // conversions do.
  vec2 chroma = pairChroma(even, p.y);
  return toRgb(vec3(LUMA(fetch(p)), chroma));
}
vec4 pixel(vec2 tc) {
  vec2 t = lumaTexels(tc, texSize) - 0.5;
  vec2 i = floor(t);
  vec2 f = t - i;
  vec3 top = mix(rgbAt(i), rgbAt(i + vec2(1.0, 0.0)), f.x);
  vec3 bottom = mix(rgbAt(i + vec2(0.0, 1.0)), rgbAt(i + vec2(1.0, 1.0)), f.x);
  return vec4(mix(top, bottom, f.y), 1.0);
}
#endif

#ifdef PACKED444_CRYCB
vec4 pixel(vec2 tc) {
  vec4 c = sampleAt(tex0, tc, vec2(1.0));
  return vec4(toRgb(vec3(c.g, c.b, c.r)), 1.0);
}
#endif
#ifdef PACKED444_CBYCRA
vec4 pixel(vec2 tc) {
  vec4 c = sampleAt(tex0, tc, vec2(1.0));
  return vec4(toRgb(vec3(c.g, c.r, c.b)), c.a);
}
#endif
#ifdef PLANAR
vec4 pixel(vec2 tc) {
  float y = sampleAt(tex0, tc, vec2(1.0)).r;
  float cb = sampleAt(tex1, tc, chromaScale).r;
  float cr = sampleAt(tex2, tc, chromaScale).r;
  return vec4(toRgb(vec3(y, cb, cr)), 1.0);
}
#endif
#ifdef BIPLANAR
vec4 pixel(vec2 tc) {
  float y = sampleAt(tex0, tc, vec2(1.0)).r;
  vec4 c = sampleAt(tex1, tc, chromaScale);
  return vec4(toRgb(vec3(y, c.r, c.a)), 1.0);
}
#endif

void main() { gl_FragColor = pixel(gl_TexCoord[0].xy) * gl_Color; }
)GLSL";

std::string DefinesFor(Layout layout, GLenum target) {
  std::string defines = "#version 120\n";
  if (target == GL_TEXTURE_RECTANGLE_ARB) defines += "#define RECT 1\n";
  switch (layout) {
    case Layout::kPacked422CbYCrY: defines += "#define PACKED422 1\n#define CHROMA_FIRST 1\n"; break;
    case Layout::kPacked422YCbYCr: defines += "#define PACKED422 1\n"; break;
    case Layout::kPacked422YCbYCrSigned: defines += "#define PACKED422 1\n#define SIGNED_CHROMA 1\n"; break;
    case Layout::kPacked444CrYCb: defines += "#define PACKED444_CRYCB 1\n"; break;
    case Layout::kPacked444CbYCrA: defines += "#define PACKED444_CBYCRA 1\n"; break;
    case Layout::kPlanar: defines += "#define PLANAR 1\n"; break;
    case Layout::kBiPlanar: defines += "#define BIPLANAR 1\n"; break;
  }
  return defines;
}

bool ContextRunsPrograms() {
  const auto* version = reinterpret_cast<const char*>(glGetString(GL_SHADING_LANGUAGE_VERSION));
  return version != nullptr && version[0] != '\0';
}

GLuint CompileFragmentShader(const std::string& defines) {
  const GLuint shader = glCreateShader(GL_FRAGMENT_SHADER);
  if (shader == 0) return 0;
  const char* parts[2] = {defines.c_str(), kSource};
  glShaderSource(shader, 2, parts, nullptr);
  glCompileShader(shader);
  GLint ok = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (ok != GL_TRUE) {
    char log[1024] = {};
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    KS_TRACE(KsTrace::kError, "Luma/chroma program did not compile: %s", log);
    glDeleteShader(shader);
    return 0;
  }
  return shader;
}

// Row-major coefficients of Y', Cb, Cr (after the offsets) for each of R, G, B.
void MatrixFor(YuvToRgbProgram::Matrix matrix, bool fullRange, float out[9], float offset[3]) {
  const double kr = matrix == YuvToRgbProgram::Matrix::kBT709 ? 0.2126 : 0.299;
  const double kb = matrix == YuvToRgbProgram::Matrix::kBT709 ? 0.0722 : 0.114;
  const double kg = 1.0 - kr - kb;
  const double ys = fullRange ? 1.0 : 255.0 / 219.0;
  const double cs = fullRange ? 1.0 : 255.0 / 224.0;
  const double rows[9] = {ys, 0.0, cs * 2.0 * (1.0 - kr),
                          ys, -cs * 2.0 * kb * (1.0 - kb) / kg, -cs * 2.0 * kr * (1.0 - kr) / kg,
                          ys, cs * 2.0 * (1.0 - kb), 0.0};
  for (int i = 0; i < 9; ++i) out[i] = static_cast<float>(rows[i]);
  offset[0] = fullRange ? 0.0f : 16.0f / 255.0f;
  offset[1] = 128.0f / 255.0f;
  offset[2] = 128.0f / 255.0f;
}

}  // namespace

eAppErr YuvToRgbProgram::Create(Layout layout, GLenum target, std::unique_ptr<YuvToRgbProgram>* out) {
  if (!out) return KS_TRACE_ERR(AppErr::kBadArgument, "Create");
  if (!ContextRunsPrograms()) return KS_TRACE_ERR(AppErr::kGeneral, "Create");
  const GLuint shader = CompileFragmentShader(DefinesFor(layout, target));
  if (shader == 0) return KS_TRACE_ERR(AppErr::kGeneral, "Create");
  const GLuint program = glCreateProgram();
  glAttachShader(program, shader);
  glLinkProgram(program);
  glDeleteShader(shader);
  GLint linked = GL_FALSE;
  glGetProgramiv(program, GL_LINK_STATUS, &linked);
  if (linked != GL_TRUE) {
    glDeleteProgram(program);
    return KS_TRACE_ERR(AppErr::kGeneral, "Create");
  }
  out->reset(new YuvToRgbProgram(layout, target, program));
  GLint previous = 0;
  glGetIntegerv(GL_CURRENT_PROGRAM, &previous);
  glUseProgram(program);
  glUniform1i(glGetUniformLocation(program, "tex0"), 0);
  glUniform1i(glGetUniformLocation(program, "tex1"), 1);
  glUniform1i(glGetUniformLocation(program, "tex2"), 2);
  glUseProgram(static_cast<GLuint>(previous));
  (*out)->SetColorimetry(Matrix::kBT601, false);
  return AppErr::kNoErr;
}

YuvToRgbProgram::YuvToRgbProgram(Layout layout, GLenum target, GLuint program)
    : m_layout(layout), m_target(target), m_program(program), m_matrix{}, m_offset{} {}

YuvToRgbProgram::~YuvToRgbProgram() {
  if (m_program != 0) glDeleteProgram(m_program);
}

void YuvToRgbProgram::SetColorimetry(Matrix matrix, bool fullRange) { MatrixFor(matrix, fullRange, m_matrix, m_offset); }

void YuvToRgbProgram::Use(float textureWidth, float textureHeight, bool wrapX, bool wrapY, float chromaScaleX,
                          float chromaScaleY) const {
  glUseProgram(m_program);
  glUniform2f(glGetUniformLocation(m_program, "texSize"), textureWidth, textureHeight);
  glUniform2f(glGetUniformLocation(m_program, "texSizeForSample"), textureWidth, textureHeight);
  glUniform2f(glGetUniformLocation(m_program, "wrap"), wrapX ? 1.0f : 0.0f, wrapY ? 1.0f : 0.0f);
  glUniform2f(glGetUniformLocation(m_program, "chromaScale"), chromaScaleX, chromaScaleY);
  glUniformMatrix3fv(glGetUniformLocation(m_program, "yuvToRgb"), 1, GL_TRUE, m_matrix);
  glUniform3fv(glGetUniformLocation(m_program, "yuvOffset"), 1, m_offset);
}

void YuvToRgbProgram::Unuse() { glUseProgram(0); }

bool YuvToRgbProgram::LayoutForPixelFormat(uint32_t code, Layout* layout) {
  Layout found;
  if (code == PixelFormatInfo::k2vuy) found = Layout::kPacked422CbYCrY;
  else if (code == PixelFormatInfo::kYuvs) found = Layout::kPacked422YCbYCr;
  else if (code == PixelFormatInfo::kYuvu) found = Layout::kPacked422YCbYCrSigned;
  else if (code == PixelFormatCode("v308")) found = Layout::kPacked444CrYCb;
  else if (code == PixelFormatCode("v408")) found = Layout::kPacked444CbYCrA;
  else return false;
  if (layout) *layout = found;
  return true;
}
