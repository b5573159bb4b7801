#include "platform/gl/GlOffscreenDrawable.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include "platform/gl/GlContext.h"

namespace hc::gl {

namespace {

// Restores the framebuffer and renderbuffer bindings a call changes.
class BindingScope {
 public:
  BindingScope() {
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawFramebuffer_);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer_);
    glGetIntegerv(GL_RENDERBUFFER_BINDING, &renderbuffer_);
  }
  ~BindingScope() {
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(drawFramebuffer_));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(readFramebuffer_));
    glBindRenderbuffer(GL_RENDERBUFFER, static_cast<GLuint>(renderbuffer_));
  }
  BindingScope(const BindingScope&) = delete;
  BindingScope& operator=(const BindingScope&) = delete;

 private:
  GLint drawFramebuffer_ = 0;
  GLint readFramebuffer_ = 0;
  GLint renderbuffer_ = 0;
};

bool SizeFits(int width, int height) {
  GLint largest = 0;
  glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
  return width > 0 && height > 0 && width <= largest && height <= largest;
}

}  // namespace

GlError GlOffscreenDrawable::Create(int width, int height,
                                    std::unique_ptr<GlOffscreenDrawable>* out) {
  if (out == nullptr) return GlError::BadArgument;
  out->reset();
  GlContext* context = GlContext::Current();
  if (context == nullptr) return GlError::NoCurrentContext;
  if (!SizeFits(width, height)) return GlError::BadArgument;
  GLuint framebuffer = 0;
  GLuint renderbuffers[2] = {0, 0};
  glGenFramebuffers(1, &framebuffer);
  glGenRenderbuffers(2, renderbuffers);
  std::unique_ptr<GlOffscreenDrawable> drawable(
      new GlOffscreenDrawable(context, framebuffer, renderbuffers[0], renderbuffers[1]));
  if (GlError error = drawable->AllocateStorage(width, height); error != GlError::None) {
    return error;
  }
  *out = std::move(drawable);
  return GlError::None;
}

GlOffscreenDrawable::GlOffscreenDrawable(GlContext* context, unsigned framebuffer,
                                         unsigned colour, unsigned depth)
    : context_(context), framebuffer_(framebuffer), colour_(colour), depth_(depth) {}

GlOffscreenDrawable::~GlOffscreenDrawable() {
  if (CheckContext() != GlError::None) return;
  const GLuint renderbuffers[2] = {colour_, depth_};
  glDeleteFramebuffers(1, &framebuffer_);
  glDeleteRenderbuffers(2, renderbuffers);
}

GlError GlOffscreenDrawable::CheckContext() const {
  return GlContext::Current() == context_ ? GlError::None : GlError::NoCurrentContext;
}

GlError GlOffscreenDrawable::AllocateStorage(int width, int height) {
  BindingScope bindings;
  glBindRenderbuffer(GL_RENDERBUFFER, colour_);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  glBindRenderbuffer(GL_RENDERBUFFER, depth_);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, width, height);
  // Names from glGen* become objects only once bound, so attach after that.
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_);
  if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    return GlError::FramebufferIncomplete;
  }
  width_ = width;
  height_ = height;
  return GlError::None;
}

GlError GlOffscreenDrawable::Resize(int width, int height) {
  if (GlError error = CheckContext(); error != GlError::None) return error;
  if (!SizeFits(width, height)) return GlError::BadArgument;
  return AllocateStorage(width, height);
}

GlError GlOffscreenDrawable::Bind() {
  if (GlError error = CheckContext(); error != GlError::None) return error;
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  return GlError::None;
}

void GlOffscreenDrawable::Unbind() { glBindFramebuffer(GL_FRAMEBUFFER, 0); }

GlError GlOffscreenDrawable::ReadPixels(GlReadBack::ByteOrder order, void* buffer,
                                        size_t bufferSize, size_t rowBytes) const {
  if (GlError error = CheckContext(); error != GlError::None) return error;
  GLint previous = 0;
  glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &previous);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
  const GlError result =
      GlReadBack::ReadFramebuffer(width_, height_, order, buffer, bufferSize, rowBytes);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(previous));
  return result;
}

}  // namespace hc::gl
