#pragma once

#include <GL/gl.h>

#include <array>
#include <chrono>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include "Renderer/PanoRenderer.h"
#include "Renderer/YuvToRgbProgram.h"
#include "Source/PixelFormatInfo.h"

namespace hc::text {
class GlyphAtlas;
}

// How a pixel format goes up to OpenGL: the format and type that match its
// bytes, the internal format to keep it in, whether 16-bit words are
// big-endian, and the program that turns luma/chroma texels into RGB.
struct GlTexUpload {
  GLenum format = 0;
  GLenum type = 0;
  GLint internalFormat = 0;
  bool swapBytes = false;
  bool isYUV = false;
  YuvToRgbProgram::Layout yuvLayout = YuvToRgbProgram::Layout::kPacked422CbYCrY;
};

// The renderer interface over fixed-function OpenGL on the context current on
// the calling thread. Caches the matrix mode, cull mode and depth function so
// repeated calls don't reach OpenGL, answers capability questions for bitmap
// textures, reads frames back through pixel-pack buffers, and owns the
// luma/chroma programs texture sets bind. Choosing the texture format of a
// source pixel format is the platform renderer's.
class OpenGLRenderer : public PanoRenderer {
  HC_CLASS_HEADER(OpenGLRenderer)
 public:
  enum : int32_t { kGLVersionId = 300, kGLVendorId = 301, kFPSId = 302 };
  static constexpr int32_t kMaxReadBackBuffers = 8;

  OpenGLRenderer();
  ~OpenGLRenderer() override;

  KsRef<BitmapTexture> CreateBitmapTexture() override;
  eAppErr InitializeState() override;
  eAppErr BeginUpdate() override;
  eAppErr EndUpdate() override;
  void CopyFrameBuffer(const uint32_t* pixelFormat, void* buffer, int32_t width, int32_t height,
                       int32_t rowBytes) override;
  eAppErr SetViewport(const KsRect<int32_t>& rect) override;
  eAppErr Ortho2D(const KsRectF& rect, bool loadIdentity) override;
  eAppErr Perspective(double fieldOfViewYDeg, double aspect, double zNear, double zFar, bool loadIdentity) override;
  eAppErr ModelViewIdentity() override;
  eAppErr ModelViewTranslate(float x, float y, float z) override;
  eAppErr ModelViewRotate(double angleDeg, double x, double y, double z) override;
  eAppErr ClearDepthBuffer() override;
  // Draws the text in the current colour, its top-left corner at the point
  // (projected through the current matrices), upright and at a fixed pixel
  // size in the window, over everything drawn before it.
  eAppErr RenderText(float x, float y, float z, const PWStringRef& text) override;
  KsRef<BitmapTextureSet> CreateBitmapTextureSet() override;
  KsRef<HcVertexBuffer> CreateVertexBuffer(uint32_t verticesPerStrip, uint32_t stripCount) override;
  eAppErr FillRectWithBackground(const KsRect<int32_t>& rect) override;
  eAppErr SetDepthCompare(int32_t compare) override;
  eAppErr SetBlendFunc(int32_t mode) override;
  eAppErr SetTexFunc(int32_t mode) override;
  eAppErr SetCullFunc(int32_t mode) override;
  eAppErr SetFillMode(int32_t mode) override;
  eAppErr SetDepthFunc(int32_t func) override;
  eAppErr SetLineWidth(float width) override;
  eAppErr SetColor(float r, float g, float b, float a) override;
  eAppErr ProjectPoint(float* x, float* y, float* z) override;
  virtual eAppErr ChooseTexFormatAndType(const PixelFormatInfo* info, GLenum* format, GLenum* type) = 0;
  // The whole upload recipe of a pixel format; -205 where none fits.
  virtual eAppErr ChooseTexUpload(const PixelFormatInfo* info, GlTexUpload* upload) = 0;

  KsRef<OpenGLRenderer> ThisRef() { return KsRef<OpenGLRenderer>(this); }
  // Capabilities, read from the current context once; virtual so a renderer
  // can be asked to lay textures out as a smaller card would.
  virtual int32_t GetMaxTextureSize();
  bool HasExtension(const PWStringRef& name);
  virtual bool SupportsNonPowerOfTwo();
  virtual bool SupportsTextureRectangle();
  // The luma/chroma program for a layout and texture target, made on first
  // use and kept until the renderer goes; null when the context can't run
  // one (then YUV formats are not offered).
  YuvToRgbProgram* GetYuvProgram(YuvToRgbProgram::Layout layout, GLenum target);
  // False once a program failed to build on this renderer's context.
  bool YuvProgramsAvailable() const { return !m_yuvProgramsFailed; }

  PWStringRef GetGLVersion();
  PWStringRef GetGLVendor();
  float GetFPS() const;

  // Texture names made on this renderer's context, given up from any
  // thread; they are deleted the next time the renderer begins a frame or
  // DeleteQueuedTextures runs, with its context current.
  void DeleteTextureLater(GLuint name);
  void DeleteQueuedTextures();
  // Glyphs rasterised for RenderText so far.
  uint64_t GetRasterisedGlyphCount() const;

  int32_t GetReadBackDepth() const { return m_readBackDepth; }
  void SetReadBackDepth(int32_t depth) { m_readBackDepth = depth < 1 ? 1 : depth; }

 private:
  void SelectMatrix(GLenum mode);
  void SetUpReadBackBuffers(int32_t drawableWidth, int32_t drawableHeight);
  void DeleteReadBackBuffers();
  void AddFrameSample();
  // Uploads the glyph atlas when its texels changed; false without a texture.
  bool UpdateTextTexture();

  std::unique_ptr<std::set<PWStringRef, PWStringLessNoCase>> m_extensions;
  PWStringRef m_vendor;
  PWStringRef m_version;
  int32_t m_maxTextureSize = 0;
  GLenum m_matrixMode = 0;
  bool m_stateInitialized = false;
  int32_t m_readBackDepth = 1;
  std::array<GLuint, kMaxReadBackBuffers> m_readBackBuffers{};
  std::array<bool, kMaxReadBackBuffers> m_readBackFilled{};
  int32_t m_readBackCount = 0;
  int32_t m_readBackIndex = 0;
  int32_t m_readBackKey = 0;
  int32_t m_cullMode = -1;
  int32_t m_depthFunc = -1;
  // Frame-rate meter: end times of the last frames.
  static constexpr size_t kFrameSamples = 60;
  std::array<std::chrono::steady_clock::time_point, kFrameSamples> m_frameTimes{};
  size_t m_frameSampleCount = 0;
  size_t m_frameSampleNext = 0;
  std::array<std::unique_ptr<YuvToRgbProgram>, YuvToRgbProgram::kLayoutCount * 2> m_yuvPrograms;
  bool m_yuvProgramsFailed = false;
  // RenderText's glyphs and the texture that holds them.
  std::unique_ptr<hc::text::GlyphAtlas> m_glyphAtlas;
  GLuint m_textTexture = 0;
  uint64_t m_textTextureGeneration = 0;
  std::mutex m_deletionLock;
  std::vector<GLuint> m_texturesToDelete;
};
HC_CLASS_OBJECT(OpenGLRenderer, PanoRenderer)
