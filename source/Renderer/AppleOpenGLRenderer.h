#pragma once

#include "General/KsSpinLock.h"
#include "Renderer/OpenGLRenderer.h"
#include "platform/gl/DisplayTimeStamp.h"

namespace hc::gl {
class GlContext;
class GlPixelFormat;
}  // namespace hc::gl

// The renderer the player creates ("oglrenderer"): the OpenGL renderer bound
// to the view's context and pixel format (borrowed, never owned), with the
// context's swap interval, the display link's next output time, the expected
// read-ahead for movie visual contexts and a master clock kept for its users.
class AppleOpenGLRenderer : public OpenGLRenderer {
  HC_CLASS_HEADER(AppleOpenGLRenderer)
 public:
  enum : int32_t {
    kCGLContextId = 400,
    kCGLPixelFormatId = 401,
    kSwapIntervalId = 402,
    kDisplayLinkNextOutputTimeId = 403,
    kMasterClockId = 404,
    kExpectedReadAheadId = 405,
  };

  AppleOpenGLRenderer();
  ~AppleOpenGLRenderer() override;

  eAppErr BeginUpdate() override;
  // The luma/chroma format when this context can run the program, and 32-bit ARGB.
  const uint32_t* GetSupportedPixelFormats() override;
  eAppErr ChooseTexFormatAndType(const PixelFormatInfo* info, GLenum* format, GLenum* type) override;
  eAppErr ChooseTexUpload(const PixelFormatInfo* info, GlTexUpload* upload) override;

  hc::gl::GlContext* GetGlContext() const { return m_context; }
  eAppErr SetGlContext(hc::gl::GlContext* context);
  hc::gl::GlPixelFormat* GetGlPixelFormat() const { return m_pixelFormat; }
  eAppErr SetGlPixelFormat(hc::gl::GlPixelFormat* format);
  // Pointer-typed property forms of the two above.
  void* GetCGLContext() const { return m_context; }
  eAppErr SetCGLContext(void* context) { return SetGlContext(static_cast<hc::gl::GlContext*>(context)); }
  void* GetCGLPixelFormat() const { return m_pixelFormat; }
  eAppErr SetCGLPixelFormat(void* format) { return SetGlPixelFormat(static_cast<hc::gl::GlPixelFormat*>(format)); }

  int32_t GetSwapInterval() const;
  eAppErr SetSwapInterval(int32_t interval);

  hc::gl::DisplayTimeStamp GetDisplayLinkNextOutputTime() const;
  void SetDisplayLinkNextOutputTime(const hc::gl::DisplayTimeStamp& stamp);
  // Property forms: *record designates a DisplayTimeStamp to copy into or from.
  eAppErr CopyNextOutputTimeInto(void** record);
  eAppErr CopyNextOutputTimeFrom(void* record);

  KsRef<KsObject> GetMasterClock() const { return m_masterClock; }
  eAppErr SetMasterClock(const KsRef<KsObject>& clock);
  float GetExpectedReadAhead() const { return m_expectedReadAhead; }
  eAppErr SetExpectedReadAhead(float seconds);

 private:
  KsRef<KsObject> m_masterClock;
  hc::gl::GlContext* m_context = nullptr;
  hc::gl::GlPixelFormat* m_pixelFormat = nullptr;
  mutable KsSpinLock m_stampLock;
  hc::gl::DisplayTimeStamp m_nextOutputTime{};
  float m_expectedReadAhead = 0.0f;
};
HC_CLASS_OBJECT(AppleOpenGLRenderer, OpenGLRenderer)
